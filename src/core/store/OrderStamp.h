#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

// The item order lives in the buffer files' modification times: the item at list position i
// carries 00:00:00 local time of 10 October 2010 plus i calendar days. Everything here reads the
// process's time zone (TZ, else the system's) and never the locale.
namespace quillory::store {

// Positions up to this one get whole days; the day after it would be 1 January 2044, whose order
// key is negative and would sort before every other stamp.
inline constexpr std::size_t kLastDayPosition = 12'135;

// The stamp of `position` in seconds since the epoch. Calendar days, so a daylight-saving change
// between two days never moves a stamp off midnight. Positions past kLastDayPosition follow
// 31 December 2043 in steps of two seconds, which keeps their keys ascending.
[[nodiscard]] std::time_t OrderStampTime(std::size_t position) noexcept;
[[nodiscard]] std::filesystem::file_time_type OrderStamp(std::size_t position);

// Local time packed as a DOS date-time (year-1980 in bits 31-25, month, day, hour, minute,
// seconds/2 in bits 4-0), read as signed; absent when the local time cannot be found or the
// year lies outside 1980..2107.
[[nodiscard]] std::optional<std::int32_t> DosDateTime(std::time_t time) noexcept;

// The order key as decimal text; "-1" when there is no time or no DOS date-time for it.
[[nodiscard]] std::u16string OrderKey(std::optional<std::time_t> modified);
[[nodiscard]] std::u16string OrderKey(std::filesystem::file_time_type modified);

// The key of a file's modification time; "-1" when the file's time cannot be read.
[[nodiscard]] std::u16string OrderKeyOfFile(const std::filesystem::path& file);

namespace detail {

// OrderStampTime of the positions 0 to count-1 (fewer past 65,536), computed once per TZ value.
// Valid until the next call.
[[nodiscard]] std::span<const std::time_t> OrderStampTimes(std::size_t count);

} // namespace detail

} // namespace quillory::store
