#include "core/text/TextDecoder.h"

#include "core/Utf.h"

#include <array>

namespace quillory {

namespace {
// Bytes 0x80..0x9F; 0 marks the five the code page leaves undefined (they map to themselves).
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
// A surrogate without its partner can be neither shown nor turned into a file name.
void ReplaceLoneSurrogates(std::u16string& text) noexcept
{
    const auto high = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto low = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (high(text[i]) && i + 1 < text.size() && low(text[i + 1]))
            ++i;
        else if (high(text[i]) || low(text[i]))
            text[i] = 0xFFFD;
    }
}

} // namespace

char16_t Cp1252ToUnicode(unsigned char byte) noexcept
{
    if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0)
        return kHigh[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char16_t unit) noexcept
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    if (unit <= 0x9F && kHigh[unit - 0x80] == 0)
        return unit;
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == unit)
            return static_cast<int>(0x80 + i);
    return -1;
}

std::u16string DecodePlainText(std::string_view bytes)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && ((b(0) == 0xFF && b(1) == 0xFE) || (b(0) == 0xFE && b(1) == 0xFF))) {
        const bool little = b(0) == 0xFF;
        std::u16string out;
        out.reserve((bytes.size() - 2) / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            out.push_back(little ? static_cast<char16_t>(b(i) | (b(i + 1) << 8))
                                 : static_cast<char16_t>((b(i) << 8) | b(i + 1)));
        if ((bytes.size() - 2) % 2 != 0)
            out.push_back(0xFFFD); // a cut-off last unit
        ReplaceLoneSurrogates(out);
        return out;
    }
    if (bytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF)
        return Utf8ToUtf16(bytes.substr(3));
    if (IsValidUtf8(bytes))
        return Utf8ToUtf16(bytes);
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.push_back(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::u16string> SplitLines(std::u16string_view text)
{
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

} // namespace quillory
