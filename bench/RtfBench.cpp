#include "core/rtf/Rtf.h"
#include "rtfconv/SampleRtf.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <new>
#include <string>
#include <vector>

// Heap use of this program, for the peak memory of a read; counted through the global allocator.
namespace {
std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_peak{0};

void* allocate(std::size_t size)
{
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr)
        throw std::bad_alloc();
    const std::size_t now = g_inUse.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    std::size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void release(void* p) noexcept
{
    if (p == nullptr)
        return;
    g_inUse.fetch_sub(malloc_usable_size(p));
    std::free(p);
}
} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void operator delete(void* p) noexcept
{
    release(p);
}
void operator delete[](void* p) noexcept
{
    release(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    release(p);
}

namespace {

constexpr std::size_t kLarge = 10u << 20;
constexpr std::size_t kPage = 2u << 10;

const std::string& sample(std::size_t bytes)
{
    static const std::string large = quillory::tools::SampleRtf(kLarge);
    static const std::string page = quillory::tools::SampleRtf(kPage, 7);
    return bytes == kLarge ? large : page;
}

void BM_ReadRtf(benchmark::State& state)
{
    const std::string& rtf = sample(static_cast<std::size_t>(state.range(0)));
    // Small pages are read in batches, so that pausing the clock to free them costs nothing.
    const std::size_t batch = std::max<std::size_t>(1, (1u << 20) / rtf.size());
    std::vector<quillory::rtf::Document> docs;
    docs.reserve(batch);
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = g_inUse.load();
        g_peak.store(before);
        docs.push_back(quillory::rtf::ReadRtf(rtf));
        peak = std::max(peak, g_peak.load() - before);
        for (std::size_t i = 1; i < batch; ++i)
            docs.push_back(quillory::rtf::ReadRtf(rtf));
        benchmark::DoNotOptimize(docs.data());
        // Freeing the pages is not part of reading them.
        state.PauseTiming();
        docs.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * batch * rtf.size()));
    state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["peak_per_file_byte"] = static_cast<double>(peak) / static_cast<double>(rtf.size());
}

void BM_WriteRtf(benchmark::State& state)
{
    const quillory::rtf::Document doc = quillory::rtf::ReadRtf(sample(static_cast<std::size_t>(state.range(0))));
    const std::size_t size = quillory::rtf::WriteRtf(doc).size();
    const std::size_t batch = std::max<std::size_t>(1, (1u << 20) / size);
    for (auto _ : state) {
        for (std::size_t i = 0; i < batch; ++i) {
            std::string rtf = quillory::rtf::WriteRtf(doc);
            benchmark::DoNotOptimize(rtf.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * batch * size));
}

} // namespace

BENCHMARK(BM_ReadRtf)->Arg(kLarge)->Arg(kPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRtf)->Arg(kLarge)->Arg(kPage)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
