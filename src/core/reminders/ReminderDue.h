#pragma once

#include <ctime>
#include <string>
#include <string_view>

// When a reminder falls due and how it is put to the user. A stamp is compared as text with the
// current minute, so a stamp with letters never falls due and one with blanks at once.
namespace quillory::reminders {

// The local time as "yyyymmddhhnn" (four-digit year, then two digits each for month, day, hour
// 00-23 and minute); empty, so nothing is due, when the local time cannot be found.
[[nodiscard]] std::u16string MinuteText(std::time_t time);

// The stamp without its "-" characters.
[[nodiscard]] std::u16string CompactStamp(std::u16string_view stamp);

// True when `minute` is not less than `compactStamp`, comparing code units, a text that begins
// the other counting as less.
[[nodiscard]] bool IsDue(std::u16string_view compactStamp, std::u16string_view minute) noexcept;

// "dd-mm-yyyy at hh:nn" from a compact stamp; parts the stamp is too short for stay empty.
[[nodiscard]] std::u16string DateShown(std::u16string_view compactStamp);

// A label as the question shows it: at most 250 units, without leading and trailing blanks and
// control characters.
[[nodiscard]] std::u16string ShownLabel(std::u16string_view label);

// The question asked when a reminder falls due.
[[nodiscard]] std::u16string ReminderQuestion(std::u16string_view item, std::u16string_view dateShown,
                                              std::u16string_view label);

} // namespace quillory::reminders
