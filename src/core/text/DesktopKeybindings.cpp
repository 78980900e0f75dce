#include "core/text/DesktopKeybindings.h"

#include "core/text/HotkeyCommands.h"
#include "core/text/HotkeyNames.h"

#include <algorithm>
#include <utility>

namespace quillory {

namespace {

constexpr std::string_view kCustomRoot = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/";

std::string Lower(std::string_view text)
{
    std::string out(text);
    // ASCII only: key names are, and the process's locale must not change them.
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// GTK's modifier names, by the canonical name they stand for. "primary" is Ctrl except on macOS.
constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kModifiers{{
    {"primary", "ctrl"},
    {"control", "ctrl"},
    {"ctrl", "ctrl"},
    {"ctl", "ctrl"},
    {"shift", "shift"},
    {"shft", "shift"},
    {"alt", "alt"},
    {"mod1", "alt"},
    {"super", "super"},
    {"meta", "meta"},
    {"hyper", "hyper"},
    {"release", "release"},
}};
constexpr std::array<std::string_view, 7> kOrder{"ctrl", "shift", "alt", "super", "meta", "hyper", "release"};

} // namespace

std::string CanonicalAccelerator(std::string_view accelerator)
{
    std::array<bool, kOrder.size()> held{};
    while (!accelerator.empty() && accelerator.front() == '<') {
        const std::size_t close = accelerator.find('>');
        if (close == std::string_view::npos)
            return {};
        const std::string name = Lower(accelerator.substr(1, close - 1));
        const auto modifier =
            std::find_if(kModifiers.begin(), kModifiers.end(), [&](const auto& m) { return m.first == name; });
        if (modifier == kModifiers.end())
            return {};
        held[static_cast<std::size_t>(std::find(kOrder.begin(), kOrder.end(), modifier->second) - kOrder.begin())] =
            true;
        accelerator.remove_prefix(close + 1);
    }
    const std::string key = Lower(accelerator);
    if (key.empty() || key == "disabled")
        return {};
    std::string out;
    for (std::size_t i = 0; i < kOrder.size(); ++i)
        if (held[i]) {
            out += kOrder[i];
            out += '+';
        }
    return out + key;
}

std::string AskedAccelerator(int id)
{
    return "<Control>F" + std::to_string(id);
}

unsigned FreeHotkeys(const std::vector<std::string>& used)
{
    std::vector<std::string> taken;
    taken.reserve(used.size());
    for (const std::string& accelerator : used)
        taken.push_back(CanonicalAccelerator(accelerator));
    unsigned free = 0;
    for (int id = 1; id <= kHotkeyCount; ++id)
        if (std::find(taken.begin(), taken.end(), CanonicalAccelerator(AskedAccelerator(id))) == taken.end())
            free |= 1U << (id - 1);
    return free;
}

std::string CustomKeybindingPath(int id)
{
    // "--copy" names the path "quillory-copy".
    return std::string(kCustomRoot) + "quillory-" + std::string(HotkeyOption(id).substr(2)) + "/";
}

std::vector<std::string> WithHotkeyPaths(std::vector<std::string> paths, unsigned mask)
{
    for (int id = 1; id <= kHotkeyCount; ++id) {
        if ((mask & (1U << (id - 1))) == 0)
            continue;
        std::string path = CustomKeybindingPath(id);
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(std::move(path));
    }
    return paths;
}

std::string CommandWord(std::string_view word)
{
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '.' ||
               c == '_' || c == '+' || c == '-';
    });
    if (plain)
        return std::string(word);
    std::string out = "'";
    for (const char c : word) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

} // namespace quillory
