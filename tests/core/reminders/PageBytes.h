#pragma once

#include <string>
#include <string_view>

namespace quillory::test {

// A plain-text page in UTF-16 with its byte-order mark.
inline std::string Utf16Page(std::u16string_view text, bool little)
{
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes;
}

} // namespace quillory::test
