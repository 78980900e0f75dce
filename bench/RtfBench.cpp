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
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = g_inUse.load();
        g_peak.store(before);
        auto doc = std::make_unique<quillory::rtf::Document>(quillory::rtf::ReadRtf(rtf));
        benchmark::DoNotOptimize(doc.get());
        peak = std::max(peak, g_peak.load() - before);
        // Freeing the page is not part of reading it.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
    state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["peak_per_file_byte"] = static_cast<double>(peak) / static_cast<double>(rtf.size());
}

void BM_WriteRtf(benchmark::State& state)
{
    const quillory::rtf::Document doc = quillory::rtf::ReadRtf(sample(static_cast<std::size_t>(state.range(0))));
    std::size_t written = 0;
    for (auto _ : state) {
        std::string rtf = quillory::rtf::WriteRtf(doc);
        written = rtf.size();
        benchmark::DoNotOptimize(rtf);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
}

} // namespace

BENCHMARK(BM_ReadRtf)->Arg(kLarge)->Arg(kPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRtf)->Arg(kLarge)->Arg(kPage)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
