// The reminder check's pass over the buffer, beside the floor of reading the same files.
#include "core/reminders/BufferScanner.h"
#include "core/reminders/ReminderDue.h"
#include "core/store/FolderListing.h"
#include "core/store/ProjectStore.h"

#include "rtfconv/SampleRtf.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace quillory;
namespace fs = std::filesystem;

namespace {

// `count` stamped 2 KB pages as the Windows control writes them. Their tags are acknowledged,
// except that every `armedEvery`-th page holds one not yet due, which the scan must decode.
struct Buffer {
    Buffer(std::size_t count, std::size_t armedEvery)
    {
        fs::create_directory(folder);
        std::vector<std::u16string> names;
        for (std::size_t i = 0; i < count; ++i) {
            std::string page = tools::SampleRtf(2048, static_cast<unsigned>(i + 1));
            for (std::size_t at; (at = page.find("Reminder\\{20160725-1500\\}")) != std::string::npos;)
                page.replace(at, 25, "Reminder[20160725-1500]");
            if (armedEvery != 0 && i % armedEvery == 0)
                page.insert(page.rfind("\\par"), " Reminder\\{99991231-2359\\}[later]");
            const std::string name = "Item " + std::to_string(i);
            std::ofstream(folder / name, std::ios::binary) << page;
            names.emplace_back(name.begin(), name.end());
            files.push_back(name);
        }
        store::StampAll(folder, names);
    }

    test::TempDir dir;
    fs::path folder = dir / "Buffer";
    std::vector<std::string> files;
};

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond);
}

// The floor: open, read to the end and close every file, with nothing else done.
void BM_ReadEveryFile(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)), 0);
    std::vector<char> bytes(64 * 1024);
    const int folder = ::open(buffer.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& name : buffer.files) {
            const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC);
            for (ssize_t n; (n = ::read(fd, bytes.data(), bytes.size())) > 0;)
                total += static_cast<std::size_t>(n);
            ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
    ::close(folder);
}
BENCHMARK(BM_ReadEveryFile)->Apply(Sizes);

// The floor of a check that can trust what it read before: one status per file.
void BM_StatEveryFile(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)), 0);
    const int folder = ::open(buffer.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& name : buffer.files) {
            struct stat info {};
            ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW);
            total += static_cast<std::size_t>(info.st_size);
        }
        benchmark::DoNotOptimize(total);
    }
    ::close(folder);
}
BENCHMARK(BM_StatEveryFile)->Apply(Sizes);

// The listing every check starts with.
void BM_ListBuffer(benchmark::State& state)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)), 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(store::ListRegularFiles(buffer.folder));
}
BENCHMARK(BM_ListBuffer)->Apply(Sizes);

// One check with nothing due: list the buffer, scan every page, compare every armed stamp.
// `fresh`: a new scanner each time, so every page is read (the first check after a start);
// otherwise the same scanner, whose clock runs a minute ahead, so that the pages just written
// count as settled, as pages untouched for a few seconds are.
void Check(benchmark::State& state, std::size_t armedEvery, bool fresh)
{
    const Buffer buffer(static_cast<std::size_t>(state.range(0)), armedEvery);
    const std::u16string minute = reminders::MinuteText(std::time(nullptr));
    const reminders::BufferScanner::Clock ahead = [] {
        return std::chrono::system_clock::now() + std::chrono::minutes(1);
    };
    auto scanner = std::make_unique<reminders::BufferScanner>(ahead);
    for (auto _ : state) {
        if (fresh)
            scanner = std::make_unique<reminders::BufferScanner>(ahead);
        std::size_t due = 0;
        for (const auto& found : scanner->scan(buffer.folder, u"Item 1", u"the page shown"))
            due += reminders::IsDue(reminders::CompactStamp(found.tag.stamp), minute) ? 1 : 0;
        if (due != 0)
            state.SkipWithError("a reminder is due");
    }
    state.counters["read"] = static_cast<double>(scanner->filesRead());
}

// One page in a hundred carries a tag still to come.
void BM_FirstCheck(benchmark::State& state)
{
    Check(state, 100, true);
}
BENCHMARK(BM_FirstCheck)->Apply(Sizes);

void BM_NextCheck(benchmark::State& state)
{
    Check(state, 100, false);
}
BENCHMARK(BM_NextCheck)->Apply(Sizes);

// Every page carries a tag still to come, so every page is decoded from its tag on.
void BM_FirstCheckEveryPageArmed(benchmark::State& state)
{
    Check(state, 1, true);
}
BENCHMARK(BM_FirstCheckEveryPageArmed)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
