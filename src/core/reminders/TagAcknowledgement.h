#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Acknowledging a reminder turns its tag's braces into square brackets, Reminder{stamp} into
// Reminder[stamp], after which the scan no longer sees it. Every tag of the page with that stamp
// is acknowledged at once.
namespace quillory::reminders {

// Where one tag's braces stand, as indices into the text searched.
struct TagBraces {
    std::size_t open;
    std::size_t close;

    friend bool operator==(const TagBraces&, const TagBraces&) = default;
};

// Every "Reminder{" + stamp + "}" of the text as the scan reads it (backslashes dropped, the
// word's ASCII case ignored), by the positions of its braces in `text` itself.
[[nodiscard]] std::vector<TagBraces> FindTagBraces(std::u16string_view text, std::u16string_view stamp);

// A stored page with its tags for `stamp` acknowledged; absent when it holds none. An RTF page's
// escaped braces \{ and \} become [ and ], which RTF reads as they stand; a brace that opens or
// closes a group is never touched. A plain-text page, in any encoding the decoder reads, gets its
// braces replaced in that encoding. Every other byte stays as it was.
[[nodiscard]] std::optional<std::string> AcknowledgeStoredPage(std::string_view bytes, std::u16string_view stamp);

} // namespace quillory::reminders
