#pragma once

#include <string>
#include <string_view>

// Conversions between UTF-8 and UTF-16. Malformed input never fails: each bad sequence or lone
// surrogate becomes U+FFFD.
namespace quillory {

[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view utf8);
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view s);
[[nodiscard]] bool IsValidUtf8(std::string_view bytes) noexcept;

// Appends one code point as UTF-16 (one unit, or a surrogate pair above U+FFFF).
void AppendCodePoint(std::u16string& out, char32_t cp);

} // namespace quillory
