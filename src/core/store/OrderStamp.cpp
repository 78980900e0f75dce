#include "core/store/OrderStamp.h"

#include "core/StuffUnit.h"
#include "core/store/PosixIo.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace quillory::store {

namespace {

// Far enough for any list, small enough that tm_mday and tm_sec cannot overflow.
constexpr std::size_t kLastPosition = 1'000'000;

std::time_t ComputeStamp(std::size_t position) noexcept
{
    position = std::min(position, kLastPosition);
    std::tm local{};
    local.tm_year = 2010 - 1900;
    local.tm_mon = 9;
    if (position <= kLastDayPosition) {
        local.tm_mday = 10 + static_cast<int>(position);
    } else {
        local.tm_mday = 10 + static_cast<int>(kLastDayPosition);
        local.tm_sec = 2 * static_cast<int>(position - kLastDayPosition);
    }
    // -1: let the zone's rules say whether summer time applies on that day.
    local.tm_isdst = -1;
    return std::mktime(&local);
}

// mktime consults the zone file on every call (a stat each time), so the stamps are kept per
// value of TZ. A change of the system's zone while running is seen at the next start.
struct StampCache {
    bool filled = false;
    std::optional<std::string> zone;
    std::vector<std::time_t> stamps;
};

constexpr std::size_t kCachedPositions = 1U << 16;

} // namespace

namespace detail {

std::span<const std::time_t> OrderStampTimes(std::size_t count)
{
    thread_local StampCache cache;
    const char* zone = std::getenv("TZ");
    const bool sameZone = cache.filled && (zone == nullptr ? !cache.zone : (cache.zone && *cache.zone == zone));
    if (!sameZone) {
        cache.filled = true;
        cache.zone = zone == nullptr ? std::nullopt : std::optional<std::string>(zone);
        cache.stamps.clear();
    }
    count = std::min(count, kCachedPositions);
    while (cache.stamps.size() < count)
        cache.stamps.push_back(ComputeStamp(cache.stamps.size()));
    return std::span<const std::time_t>(cache.stamps.data(), count);
}

} // namespace detail

std::time_t OrderStampTime(std::size_t position) noexcept
{
    if (position < kCachedPositions) {
        try {
            return detail::OrderStampTimes(position + 1)[position];
        } catch (...) {
            // Out of memory for the cache: compute it directly.
        }
    }
    return ComputeStamp(position);
}

std::filesystem::file_time_type OrderStamp(std::size_t position)
{
    return detail::FromTimespec(timespec{OrderStampTime(position), 0});
}

std::optional<std::int32_t> DosDateTime(std::time_t time) noexcept
{
    std::tm local{};
    if (::localtime_r(&time, &local) == nullptr)
        return std::nullopt;
    const long year = 1900L + local.tm_year;
    if (year < 1980 || year > 2107)
        return std::nullopt;
    const auto field = [](long value, int shift) { return static_cast<std::uint32_t>(value) << shift; };
    const std::uint32_t packed = field(year - 1980, 25) | field(local.tm_mon + 1, 21) | field(local.tm_mday, 16) |
                                 field(local.tm_hour, 11) | field(local.tm_min, 5) | field(local.tm_sec / 2, 0);
    return static_cast<std::int32_t>(packed);
}

std::u16string OrderKey(std::optional<std::time_t> modified)
{
    const auto packed = modified ? DosDateTime(*modified) : std::nullopt;
    return packed ? IntToText(*packed) : std::u16string(u"-1");
}

std::u16string OrderKey(std::filesystem::file_time_type modified)
{
    return OrderKey(detail::ToTimespec(modified).tv_sec);
}

std::u16string OrderKeyOfFile(const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return u"-1";
    return OrderKey(info.st_mtim.tv_sec);
}

} // namespace quillory::store
