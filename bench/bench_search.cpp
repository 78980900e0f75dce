// The search index: building it from nothing, a search as each letter is typed, a search after
// one page changed, the caller's share of a sync, and the resident memory an index adds.
#include "search/IndexWorker.h"
#include "search/PageIndex.h"

#include "rtfconv/SampleRtf.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace quillory;
namespace fs = std::filesystem;

namespace {

// `count` 2 KB pages as the Windows control writes them, each also naming a code shared by a
// hundredth of them ("code41"), so a search can be as narrow as users' usually are.
struct Pages {
    explicit Pages(std::size_t count)
    {
        fs::create_directory(folder);
        for (std::size_t i = 0; i < count; ++i) {
            std::string page = tools::SampleRtf(2048, static_cast<unsigned>(i + 1));
            page.insert(page.rfind("\\par"), " code" + std::to_string(i % (count / 100)));
            const std::string name = "Item " + std::to_string(i);
            std::ofstream(folder / name, std::ios::binary) << page;
            names.emplace_back(name.begin(), name.end());
        }
    }

    test::TempDir dir;
    fs::path folder = dir / "Buffer";
    std::vector<std::u16string> names;
};

// Keys settle only after a while; a sync an hour "later" keeps them all.
auto later()
{
    return std::chrono::system_clock::now() + std::chrono::hours(1);
}

// One set of pages and one built index per size, kept across the benchmarks.
struct Built {
    explicit Built(std::size_t count) : pages(count)
    {
        std::string why;
        index = search::PageIndex::open(pages.dir / "index.sqlite", why);
        index->sync(pages.folder, pages.names, u"", u"", later());
    }
    Pages pages;
    std::unique_ptr<search::PageIndex> index;
};

Built& built(std::size_t count)
{
    static std::map<std::size_t, std::unique_ptr<Built>> all;
    auto& slot = all[count];
    if (!slot)
        slot = std::make_unique<Built>(count);
    return *slot;
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
}

long residentKb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Resident memory an open index of 10,000 pages adds, built and searched. Registered first, so
// that it runs before any other benchmark has freed memory it would use again.
void BM_ResidentMemoryOfAnIndex(benchmark::State& state)
{
    const Pages pages(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        // Built in this process from nothing, so nothing it uses was touched before.
        const long before = residentKb();
        std::string why;
        auto index = search::PageIndex::open(pages.dir / "memory.sqlite", why);
        index->sync(pages.folder, pages.names, u"", u"", later());
        benchmark::DoNotOptimize(index->search(u"meeting project window", 200));
        state.counters["added_MB"] = static_cast<double>(residentKb() - before) / 1024.0;
    }
}
BENCHMARK(BM_ResidentMemoryOfAnIndex)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BuildIndexFromNothing(benchmark::State& state)
{
    const Pages pages(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(pages.dir / "fresh.sqlite");
        std::string why;
        auto index = search::PageIndex::open(pages.dir / "fresh.sqlite", why);
        state.ResumeTiming();
        benchmark::DoNotOptimize(index->sync(pages.folder, pages.names, u"", u"", later()));
    }
    state.counters["file_MB"] = static_cast<double>(fs::file_size(pages.dir / "fresh.sqlite")) / 1e6;
}
BENCHMARK(BM_BuildIndexFromNothing)->Apply(Sizes)->Iterations(1);

// Each iteration is one keystroke of the query, in turn: "n", "no", ... "notebook tray code41".
template <const char16_t* Query> void BM_SearchAsTyped(benchmark::State& state)
{
    Built& b = built(static_cast<std::size_t>(state.range(0)));
    const std::u16string query = Query;
    std::size_t length = 0;
    double worst = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        length = length % query.size() + 1;
        const auto start = std::chrono::steady_clock::now();
        const search::Found result = b.index->search(std::u16string_view(query).substr(0, length), 200);
        worst = std::max(worst,
                         std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        found = result.count;
    }
    state.counters["worst_ms"] = worst;
    state.counters["found"] = static_cast<double>(b.index->search(query, 200).count);
    benchmark::DoNotOptimize(found);
}
constexpr char16_t kNarrow[] = u"notebook tray code41";
constexpr char16_t kBroad[] = u"meeting project window"; // words on nearly every page
BENCHMARK(BM_SearchAsTyped<kNarrow>)->Apply(Sizes);
BENCHMARK(BM_SearchAsTyped<kBroad>)->Apply(Sizes);

// A page rewritten, then the next search: the sync's look at every key, the one page read again
// and indexed, and the search.
void BM_SearchAfterOnePageChanged(benchmark::State& state)
{
    Built& b = built(static_cast<std::size_t>(state.range(0)));
    unsigned round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(b.pages.folder / "Item 7", std::ios::binary)
            << tools::SampleRtf(2048, ++round) << " quinceword" << round;
        state.ResumeTiming();
        b.index->sync(b.pages.folder, b.pages.names, u"", u"", later());
        benchmark::DoNotOptimize(b.index->search(u"quinceword", 200));
    }
}
BENCHMARK(BM_SearchAfterOnePageChanged)->Apply(Sizes);

// What the window's thread spends handing a sync of every name to the index's thread: the
// copy of the names; the rest happens elsewhere. The worst gap a 1 ms loop on this thread
// sees while the worker builds the index shows whether anything holds it.
void BM_WindowThreadWhileIndexing(benchmark::State& state)
{
    const Pages pages(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        fs::remove(pages.dir / "worker.sqlite");
        search::IndexWorker worker([](std::uint64_t, search::Found) {}, [](const std::string&) {});
        worker.setProject(pages.dir / "worker.sqlite", pages.folder);
        const auto posted = std::chrono::steady_clock::now();
        worker.sync(pages.names, u"", u"");
        const double post =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - posted).count();
        double worstGap = 0;
        std::atomic<bool> done{false};
        std::thread waiter([&] {
            worker.wait();
            done = true;
        });
        auto last = std::chrono::steady_clock::now();
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const auto now = std::chrono::steady_clock::now();
            worstGap = std::max(worstGap, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        }
        waiter.join();
        state.counters["post_ms"] = post;
        state.counters["worst_gap_ms"] = worstGap;
    }
}
BENCHMARK(BM_WindowThreadWhileIndexing)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
