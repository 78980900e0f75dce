// hotkeylatency --length BYTES [--prefix TEXT] [--suffix TEXT] [--rounds N] [--warmup N]
//               [--round-timeout MS] [--timeout S] [--gap MS]
// Time from typing Ctrl+F4 (through XTest) until the clipboard's owner answers with the expected
// UTF8_STRING, on $DISPLAY. Each round first takes the clipboard itself, so an answer can only come
// from a new copy. Prints min/median/p90/max in ms of "clipboard taken" (the new owner's
// SelectionClear reached us) and "text received" (the whole expected text is in).
// Exits 0 when every round was measured, 1 when some were not (the others are still reported),
// 2 on bad usage or when it cannot run at all.
#include "ClipboardProbe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using hotkeylatency::ClipboardProbe;
using hotkeylatency::Clock;
using Ms = std::chrono::duration<double, std::milli>;

struct Options {
    std::optional<std::size_t> length;
    std::string prefix;
    std::string suffix;
    int rounds = 30;
    int warmup = 3;
    std::chrono::milliseconds roundTimeout{5000};
    std::chrono::seconds timeout{300};
    std::chrono::milliseconds gap{100};
};

struct Round {
    double takenMs = 0;
    double textMs = 0;
    bool incremental = false;
};

[[nodiscard]] bool matches(const Options& o, const std::string& text)
{
    return (!o.length || text.size() == *o.length) && text.starts_with(o.prefix) && text.ends_with(o.suffix);
}

[[nodiscard]] std::string describe(const std::string& text)
{
    std::string head = text.substr(0, 40);
    std::replace_if(
        head.begin(), head.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return std::to_string(text.size()) + " bytes \"" + head + (text.size() > 40 ? "...\"" : "\"");
}

// One measured Ctrl+F4, or the reason there is none.
[[nodiscard]] std::optional<Round> measure(ClipboardProbe& probe, const Options& o, Clock::time_point overall,
                                           std::string& problem)
{
    // Pacing, not waiting for anything: the program settles after the last copy (balloon, deferred
    // deletes) so each round meets it idle, as a user's key press would.
    (void)probe.waitUntil([] { return false; }, std::min(Clock::now() + o.gap, overall));

    const auto deadline = std::min(Clock::now() + o.roundTimeout, overall);
    if (!probe.takeClipboard(deadline)) {
        problem = probe.lastProblem();
        return std::nullopt;
    }
    const auto start = Clock::now();
    probe.typeCtrlF4();
    if (!probe.waitUntil([&] { return probe.lostClipboard(); }, deadline)) {
        problem = "nobody took the clipboard after Ctrl+F4";
        return std::nullopt;
    }
    Round round;
    round.takenMs = Ms(Clock::now() - start).count();

    std::string last = "no answer";
    while (Clock::now() < deadline) {
        if (const auto text = probe.fetchText(deadline)) {
            if (matches(o, *text)) {
                round.textMs = Ms(Clock::now() - start).count();
                round.incremental = probe.lastWasIncremental();
                return round;
            }
            last = "unexpected text: " + describe(*text);
        } else {
            last = probe.lastProblem();
        }
        // Asked too early or of another owner: ask again shortly, still handling events.
        (void)probe.waitUntil([] { return false; }, std::min(Clock::now() + std::chrono::milliseconds(2), deadline));
    }
    problem = last;
    return std::nullopt;
}

// Nearest-rank percentile of sorted values.
[[nodiscard]] double percentile(const std::vector<double>& sorted, double p)
{
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void report(const char* label, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%-16s ms: min %7.2f  median %7.2f  p90 %7.2f  max %7.2f\n", label, values.front(), median,
                percentile(values, 90), values.back());
}

[[nodiscard]] std::optional<long> number(const char* text)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0)
        return std::nullopt;
    return value;
}

[[nodiscard]] std::optional<Options> parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc)
            return std::nullopt;
        const char* value = argv[++i];
        if (arg == "--prefix") {
            o.prefix = value;
            continue;
        }
        if (arg == "--suffix") {
            o.suffix = value;
            continue;
        }
        const auto n = number(value);
        if (!n)
            return std::nullopt;
        if (arg == "--length")
            o.length = static_cast<std::size_t>(*n);
        else if (arg == "--rounds" && *n > 0)
            o.rounds = static_cast<int>(*n);
        else if (arg == "--warmup")
            o.warmup = static_cast<int>(*n);
        else if (arg == "--round-timeout" && *n > 0)
            o.roundTimeout = std::chrono::milliseconds(*n);
        else if (arg == "--timeout" && *n > 0)
            o.timeout = std::chrono::seconds(*n);
        else if (arg == "--gap")
            o.gap = std::chrono::milliseconds(*n);
        else
            return std::nullopt;
    }
    // Without an expectation any answer would do, even one left from before.
    if (!o.length && o.prefix.empty() && o.suffix.empty())
        return std::nullopt;
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: hotkeylatency --length BYTES [--prefix TEXT] [--suffix TEXT] [--rounds N]\n"
                             "                     [--warmup N] [--round-timeout MS] [--timeout S] [--gap MS]\n"
                             "  (at least one of --length, --prefix, --suffix)\n");
        return 2;
    }
    const Options& o = *options;
    std::optional<ClipboardProbe> probe;
    try {
        probe.emplace();
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "hotkeylatency: %s\n", e.what());
        return 2;
    }

    const auto overall = Clock::now() + o.timeout;
    std::vector<double> taken;
    std::vector<double> text;
    int failed = 0;
    int incremental = 0;
    for (int i = 0; i < o.warmup + o.rounds && Clock::now() < overall; ++i) {
        std::string problem;
        const auto round = measure(*probe, o, overall, problem);
        const bool warmup = i < o.warmup;
        if (!round) {
            std::fprintf(stderr, "hotkeylatency: %s %d: %s\n", warmup ? "warm-up" : "round", i + 1, problem.c_str());
            failed += warmup ? 0 : 1;
            continue;
        }
        if (!warmup) {
            taken.push_back(round->takenMs);
            text.push_back(round->textMs);
            incremental += round->incremental ? 1 : 0;
        }
    }

    const int missing = o.rounds - static_cast<int>(text.size());
    std::printf("rounds %zu of %d (+%d warm-up), %d answered in INCR chunks%s\n", text.size(), o.rounds, o.warmup,
                incremental, missing > failed ? ", stopped at the overall timeout" : "");
    if (text.empty())
        return 1;
    report("clipboard taken", taken);
    report("text received", text);
    return missing == 0 ? 0 : 1;
}
