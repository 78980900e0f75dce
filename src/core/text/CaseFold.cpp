#include "core/text/CaseFold.h"

#include <algorithm>

namespace quillory {

char32_t FoldCase(char32_t c) noexcept
{
    if (c < 0x80)
        return c >= U'A' && c <= U'Z' ? c + 32 : c;
    const detail::CaseFoldRange* begin = detail::kCaseFoldRanges;
    const detail::CaseFoldRange* end = begin + detail::kCaseFoldRangeCount;
    // The last range starting at or before c.
    const auto* after =
        std::upper_bound(begin, end, static_cast<std::uint32_t>(c),
                         [](std::uint32_t value, const detail::CaseFoldRange& r) { return value < r.first; });
    if (after == begin)
        return c;
    const detail::CaseFoldRange& r = *(after - 1);
    if (c > r.last || (c - r.first) % static_cast<std::uint32_t>(r.step) != 0)
        return c;
    return static_cast<char32_t>(static_cast<std::int64_t>(c) + r.delta);
}

std::u16string FoldedName(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            const char32_t c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            const char32_t f = FoldCase(c) - 0x10000;
            out += static_cast<char16_t>(0xD800 + (f >> 10));
            out += static_cast<char16_t>(0xDC00 + (f & 0x3FF));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out += unit;
        } else {
            out += static_cast<char16_t>(FoldCase(unit));
        }
    }
    return out;
}

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return FoldedName(a) == FoldedName(b);
}

} // namespace quillory
