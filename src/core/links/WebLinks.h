#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Web addresses in a page's text. An address is known by its start alone: "www.", "http://" or
// "https://", case-sensitive, and it runs to the next space or line break. Positions are 0-based UTF-16
// code-unit offsets into the text given.
namespace quillory::links {

// The half-open stretch [begin, end) of a text.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

// A space or a line break: CR, LF, U+000B, U+2028 (a line break inside a paragraph) or U+2029
// (a paragraph end). A tab is not one: it belongs to the word around it.
[[nodiscard]] constexpr bool IsDelimiter(char16_t c) noexcept
{
    return c == u' ' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\u2028' || c == u'\u2029';
}

// Every address in `text`, in order of position, as the highlighter marks them: each "www.",
// "http://" and "https://" up to the next delimiter (or the end of the text). Letters before the prefix are
// not part of the address; overlapping addresses ("http://www.") come back as one stretch.
// Linear in the text, however few delimiters it holds.
[[nodiscard]] std::vector<Span> FindWebLinks(std::u16string_view text);

// The word at `caret` (a position between characters, 0..size): from after the nearest delimiter
// before the caret to before the nearest delimiter at or after it. Empty on a delimiter's edge
// with no word on either side.
[[nodiscard]] Span WordAt(std::u16string_view text, std::size_t caret) noexcept;

// Whether `word` begins with "www.", "http://" or "https://" (case-sensitive).
[[nodiscard]] bool IsWebAddress(std::u16string_view word) noexcept;

} // namespace quillory::links
