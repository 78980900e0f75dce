#include "core/RowText.h"

#include "core/StuffUnit.h"

namespace quillory {

namespace {

constexpr std::u16string_view kMark = u"..";

bool isHighSurrogate(char16_t c) noexcept
{
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

std::u16string FitText(std::u16string_view text, int room, const TextWidth& width)
{
    if (width(text) < room)
        return std::u16string(text);
    if (width(kMark) > room)
        return {};

    std::u16string candidate;
    candidate.reserve(text.size() + kMark.size());
    const auto fits = [&](std::size_t length) {
        candidate.assign(text.substr(0, length));
        candidate.append(kMark);
        return width(candidate) <= room;
    };
    // A beginning only grows wider as it lengthens, so the longest one that fits is found by
    // halving rather than by dropping one character at a time: names of thousands of characters
    // (deep folders) then cost a dozen measurements a row.
    std::size_t good = 0; // ".." alone fits
    std::size_t bad = text.size() + 1;
    if (fits(text.size()))
        good = text.size();
    while (bad - good > 1) {
        const std::size_t mid = good + (bad - good) / 2;
        if (fits(mid))
            good = mid;
        else
            bad = mid;
    }
    if (good > 0 && good < text.size() && isHighSurrogate(text[good - 1]))
        --good;
    return std::u16string(text.substr(0, good)) + std::u16string(kMark);
}

std::u16string RecentProjectName(std::u16string_view path)
{
    std::u16string name = NameAfterSlash(path);
    ReplaceAll(u".qlyp.dir", u"", name);
    return name;
}

std::u16string RecentProjectFolder(std::u16string_view path)
{
    return PathBeforeSlash(path);
}

} // namespace quillory
