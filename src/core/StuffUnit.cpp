#include "core/StuffUnit.h"

#include <algorithm>
#include <limits>

namespace quillory {

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) noexcept
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

int CompareNoCase(std::u16string_view a, std::u16string_view b) noexcept
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = AsciiUpper(a[i]);
        const char16_t y = AsciiUpper(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return 0;
}

std::size_t FindFrom(std::u16string_view search, std::u16string_view text, std::size_t start) noexcept
{
    if (start < 1)
        start = 1;
    if (search.empty() || start > text.size())
        return 0;
    const auto part = text.substr(start - 1);
    const auto it = std::search(part.begin(), part.end(), search.begin(), search.end(),
                                [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
    if (it == part.end())
        return 0;
    return start + static_cast<std::size_t>(it - part.begin());
}

void ReplaceAll(std::u16string_view search, std::u16string_view replacement, std::u16string& text)
{
    if (search.empty())
        return;
    // Build the result in one pass; replacing in place would be quadratic on long pages.
    std::u16string out;
    std::size_t from = 1;
    bool replaced = false;
    for (;;) {
        const std::size_t at = FindFrom(search, text, from);
        if (at == 0)
            break;
        replaced = true;
        out.append(text, from - 1, at - from);
        out.append(replacement);
        from = at + search.size();
    }
    if (!replaced)
        return;
    if (from <= text.size())
        out.append(text, from - 1, std::u16string::npos);
    text = std::move(out);
}

namespace {

struct Conversion {
    bool ok = false;
    std::size_t failedAt = 0; // index of the first offending code unit (or the size at a premature end)
    std::int32_t value = 0;
};

int HexDigit(char16_t c) noexcept
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

Conversion Convert(std::u16string_view t) noexcept
{
    std::size_t i = 0;
    while (i < t.size() && t[i] == u' ')
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    std::size_t prefix = 0;
    if (i < t.size() && (t[i] == u'$' || t[i] == u'x' || t[i] == u'X'))
        prefix = 1;
    else if (i + 1 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X'))
        prefix = 2;

    if (prefix != 0) {
        i += prefix;
        std::uint32_t bits = 0;
        int digits = 0;
        while (i < t.size() && digits < 8 && HexDigit(t[i]) >= 0) {
            bits = (bits << 4) | static_cast<std::uint32_t>(HexDigit(t[i]));
            ++digits;
            ++i;
        }
        if (digits == 0 || i < t.size())
            return {false, i, 0};
        if (negative)
            bits = 0u - bits;
        return {true, 0, static_cast<std::int32_t>(bits)};
    }

    std::int64_t magnitude = 0;
    bool any = false;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
        magnitude = std::min(limit, magnitude * 10 + (t[i] - u'0'));
        any = true;
        ++i;
    }
    if (!any || i < t.size())
        return {false, i, 0};
    const std::int64_t v = negative ? -magnitude : std::min(magnitude, limit - 1);
    return {true, 0, static_cast<std::int32_t>(v)};
}

} // namespace

std::int32_t LeadingInt(std::u16string_view text) noexcept
{
    const Conversion whole = Convert(text);
    if (whole.ok)
        return whole.value;
    const Conversion head = Convert(text.substr(0, whole.failedAt));
    return head.ok ? head.value : 0;
}

std::u16string IntToText(std::int64_t value)
{
    const std::string s = std::to_string(value);
    return {s.begin(), s.end()};
}

namespace {
std::size_t LastSlash(std::u16string_view path) noexcept
{
    return path.find_last_of(u"\\/");
}
} // namespace

std::u16string NameAfterSlash(std::u16string_view path)
{
    const std::size_t at = LastSlash(path);
    return std::u16string(at == std::u16string_view::npos ? path : path.substr(at + 1));
}

std::u16string PathBeforeSlash(std::u16string_view path)
{
    const std::size_t at = LastSlash(path);
    return at == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, at + 1));
}

} // namespace quillory
