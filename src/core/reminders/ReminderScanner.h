#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Reminder tags as pages carry them: Reminder{yyyymmdd-hhmm}, optionally followed directly by a
// [label]. A page is read as text with every backslash dropped, so a tag stored with escaped
// braces reads as typed. Positions and lengths are UTF-16 code units.
namespace quillory::reminders {

inline constexpr std::size_t kStampLength = 13;
inline constexpr std::size_t kMaxLabelLength = 250;
inline constexpr std::u16string_view kNoLabel = u"[No Reminder Label]";

struct ReminderTag {
    std::u16string stamp; // the 13 units between the braces, unchecked
    std::u16string label; // kNoLabel when the tag has none

    friend bool operator==(const ReminderTag&, const ReminderTag&) = default;
};

// The first "Reminder{" of the text (ASCII case ignored, backslashes dropped) as a tag; absent
// when there is none or when that first one is malformed, whatever follows it.
[[nodiscard]] std::optional<ReminderTag> FirstArmedTag(std::u16string_view text);

// A stored page as the scan reads it: decoded as plain text, markup and all, lines joined with
// CR LF and a CR LF after the last.
[[nodiscard]] std::u16string StoredPageText(std::string_view bytes);

// FirstArmedTag(StoredPageText(bytes)), without decoding a page that cannot hold a tag.
[[nodiscard]] std::optional<ReminderTag> FirstArmedTagInFile(std::string_view bytes);

// A reminder list entry: the stamp, "-", the item name, U+00A0, the label.
[[nodiscard]] std::u16string ReminderEntry(const ReminderTag& tag, std::u16string_view item);

namespace detail {

// Whether the bytes, read as UTF-16 by their byte-order mark: such pages are decoded whole.
[[nodiscard]] bool IsUtf16(std::string_view bytes) noexcept;

} // namespace detail

} // namespace quillory::reminders
