#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one decoder for the program's plain-text reads (page files that are not RTF, `config`,
// `Recent`, imports).
namespace quillory {

// A UTF-16 LE/BE or UTF-8 byte-order mark selects that encoding; otherwise UTF-8 when the bytes
// are valid UTF-8, else Windows-1252. Never fails: every malformed sequence and every lone
// surrogate becomes U+FFFD, so the result is always valid UTF-16.
[[nodiscard]] std::u16string DecodePlainText(std::string_view bytes);

// Splits at CR LF, LF or CR. A final line ending does not start another line; an empty text
// has no lines.
[[nodiscard]] std::vector<std::u16string> SplitLines(std::u16string_view text);

// Windows-1252 for the code units it can carry (bytes 0x80-0x9F as that code page maps them).
[[nodiscard]] char16_t Cp1252ToUnicode(unsigned char byte) noexcept;
// The Windows-1252 byte for a code unit, or -1 when that code page has none.
[[nodiscard]] int UnicodeToCp1252(char16_t unit) noexcept;

} // namespace quillory
