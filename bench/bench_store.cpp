// The store's passes over a buffer of 2 KB pages, at the list sizes the window must stay quick with.
#include "core/store/AtomicFile.h"
#include "core/store/Project.h"
#include "core/store/ProjectStore.h"

#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

using namespace quillory;
namespace fs = std::filesystem;

namespace {

const std::string kPage(2048, 'p');

// A buffer of `count` stamped 2 KB items, and their names in list order.
struct Buffer {
    explicit Buffer(std::size_t count)
    {
        fs::create_directory(folder);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = "Item " + std::to_string(i);
            std::ofstream(folder / name, std::ios::binary) << kPage;
            names.emplace_back(name.begin(), name.end());
        }
        store::StampAll(folder, names);
    }

    test::TempDir dir;
    fs::path folder = dir / "Buffer";
    std::vector<std::u16string> names;
};

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(100)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond);
}

void BM_StampAllUnchanged(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        store::StampAll(buffer.folder, buffer.names);
}
BENCHMARK(BM_StampAllUnchanged)->Apply(Sizes);

// Every item moves: the list is stamped in reverse and back.
void BM_StampAllEveryItemMoved(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)));
    std::vector<std::u16string> reversed(buffer.names.rbegin(), buffer.names.rend());
    bool flip = false;
    for (auto _ : state) {
        store::StampAll(buffer.folder, flip ? buffer.names : reversed);
        flip = !flip;
    }
}
BENCHMARK(BM_StampAllEveryItemMoved)->Apply(Sizes);

void BM_OrderedNames(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(store::OrderedNames(buffer.folder));
}
BENCHMARK(BM_OrderedNames)->Apply(Sizes);

// The store's part of an item switch: write the page shown, restamp the list. Mostly the page
// has not changed; after typing it has.
void BM_ItemSwitch(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)));
    const fs::path page = buffer.folder / buffer.names[buffer.names.size() / 2];
    for (auto _ : state) {
        if (store::ReplaceFileIfChanged(page, kPage, store::Flush::Skip))
            state.SkipWithError("page write failed");
        store::StampAll(buffer.folder, buffer.names);
    }
}
BENCHMARK(BM_ItemSwitch)->Apply(Sizes);

void BM_ItemSwitchAfterTyping(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)));
    const fs::path page = buffer.folder / buffer.names[buffer.names.size() / 2];
    std::string typed = kPage;
    for (auto _ : state) {
        typed[0] = typed[0] == 'p' ? 'q' : 'p';
        if (store::ReplaceFileIfChanged(page, typed, store::Flush::Skip))
            state.SkipWithError("page write failed");
        store::StampAll(buffer.folder, buffer.names);
    }
}
BENCHMARK(BM_ItemSwitchAfterTyping)->Apply(Sizes);

// Save into an empty folder (Relocate, or the first save): every file is new. The folders stay
// until the end, since deleting thousands of files slows the next creations on some file systems.
void BM_SaveIntoEmptyFolder(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path project = buffer.dir / std::to_string(round++) / "P.qlyp.dir";
        fs::create_directories(project);
        state.ResumeTiming();
        if (!store::CopyBufferToProject(buffer.folder, project).empty())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveIntoEmptyFolder)->Apply(Sizes)->Iterations(3);

// A usual save: one page edited, two items swapped, the rest as saved before.
void BM_SaveAfterOneEdit(benchmark::State& state)
{
    Buffer buffer(static_cast<std::size_t>(state.range(0)));
    const fs::path project = buffer.dir / "P.qlyp.dir";
    fs::create_directory(project);
    if (!store::CopyBufferToProject(buffer.folder, project).empty())
        state.SkipWithError("first save failed");
    std::string edited = kPage;
    for (auto _ : state) {
        state.PauseTiming();
        edited[0] = edited[0] == 'p' ? 'q' : 'p';
        std::swap(buffer.names[1], buffer.names[2]);
        if (store::ReplaceFileAtomically(buffer.folder / buffer.names[0], edited, store::Flush::Skip))
            state.SkipWithError("page write failed");
        store::StampAll(buffer.folder, buffer.names);
        state.ResumeTiming();
        if (!store::CopyBufferToProject(buffer.folder, project).empty())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveAfterOneEdit)->Apply(Sizes);

void BM_SaveUnchanged(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)));
    const fs::path project = buffer.dir / "P.qlyp.dir";
    fs::create_directory(project);
    if (!store::CopyBufferToProject(buffer.folder, project).empty())
        state.SkipWithError("first save failed");
    for (auto _ : state)
        if (!store::CopyBufferToProject(buffer.folder, project).empty())
            state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveUnchanged)->Apply(Sizes);

// Opening a project: empty the buffer and copy the project in.
void BM_ClearAndLoad(benchmark::State& state)
{
    const Buffer source(static_cast<std::size_t>(state.range(0)));
    const test::TempDir other;
    const fs::path buffer = other / "Buffer";
    fs::create_directory(buffer);
    for (auto _ : state) {
        store::ClearBuffer(buffer);
        benchmark::DoNotOptimize(store::LoadProjectIntoBuffer(source.folder, buffer));
    }
}
BENCHMARK(BM_ClearAndLoad)->Apply(Sizes);

// Opening a project the buffer already holds, as start-up usually finds it.
void BM_RefillBuffer(benchmark::State& state)
{
    const Buffer source(static_cast<std::size_t>(state.range(0)));
    const test::TempDir other;
    const fs::path buffer = other / "Buffer";
    fs::create_directory(buffer);
    benchmark::DoNotOptimize(store::RefillBuffer(source.folder, buffer));
    for (auto _ : state)
        benchmark::DoNotOptimize(store::RefillBuffer(source.folder, buffer));
}
BENCHMARK(BM_RefillBuffer)->Apply(Sizes);

} // namespace

namespace {

// A project kept in step from elsewhere: 10,000 pages, of which `changed` arrive replaced (as a
// sync engine renames its temporary over them) before each look; the look takes them into the
// buffer. Processor time of the look alone.
void BM_AbsorbChangesFromElsewhere(benchmark::State& state)
{
    constexpr std::size_t kPages = 10'000;
    const auto changed = static_cast<std::size_t>(state.range(0));
    Buffer buffer(kPages);
    const fs::path project = buffer.dir / "P.qlyp.dir";
    fs::create_directory(project);
    (void)store::CopyBufferToProject(buffer.folder, project);
    store::Project store(buffer.folder);
    store.opened(project);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (std::size_t i = 0; i < changed; ++i) {
            const fs::path page = project / fs::path(buffer.names[i * (kPages / changed)]);
            const fs::path temporary = project / ".syncthing.tmp";
            std::ofstream(temporary, std::ios::binary) << kPage << round;
            fs::rename(temporary, page);
        }
        state.ResumeTiming();
        const store::SyncReport report = store.absorb();
        if (report.taken.size() != changed)
            state.SkipWithError("not every changed page was taken");
    }
}
BENCHMARK(BM_AbsorbChangesFromElsewhere)->Arg(1)->Arg(1'000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
