#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Small text routines every layer uses. Text is UTF-16; positions are 1-based code-unit
// offsets and 0 means "not found". Case folding touches the ASCII letters only. None of these
// fail: every input gives a defined result.
namespace quillory {

[[nodiscard]] constexpr char16_t AsciiUpper(char16_t c) noexcept
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

// Equal when they differ only in the case of ASCII letters.
[[nodiscard]] bool EqualsNoCase(std::u16string_view a, std::u16string_view b) noexcept;

// Three-way comparison after ASCII upper-casing, then by code unit.
[[nodiscard]] int CompareNoCase(std::u16string_view a, std::u16string_view b) noexcept;

// Replaces every occurrence of `search` in `text`, left to right; inserted text is never
// searched again, so the loop always ends. An empty `search` replaces nothing.
void ReplaceAll(std::u16string_view search, std::u16string_view replacement, std::u16string& text);

// Position of the first occurrence of `search` in `text` at or after `start` (1-based), or 0.
// A `start` below 1 is taken as 1.
[[nodiscard]] std::size_t FindFrom(std::u16string_view search, std::u16string_view text, std::size_t start) noexcept;

// The value of `text`, or of its longest leading part that is a number: blanks, a sign, then
// decimal digits or a hexadecimal number after "$", "x" or "0x" (up to 8 digits, two's
// complement). Decimals beyond the 32-bit range clamp to it. Anything else gives 0.
[[nodiscard]] std::int32_t LeadingInt(std::u16string_view text) noexcept;

[[nodiscard]] std::u16string IntToText(std::int64_t value);

// Everything after the last "\" or "/", or the whole path when it holds neither.
[[nodiscard]] std::u16string NameAfterSlash(std::u16string_view path);

// Everything up to and including the last "\" or "/", or empty when there is none.
[[nodiscard]] std::u16string PathBeforeSlash(std::u16string_view path);

} // namespace quillory
