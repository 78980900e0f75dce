#include "ui/form/FormatToolbar.h"

#include "core/StuffUnit.h"

#include <algorithm>

namespace quillory {

namespace {

constexpr rtf::Colour kSystemColourBit = 0x80000000u;

bool lessNoCase(const std::u16string& a, const std::u16string& b)
{
    return CompareNoCase(a, b) < 0;
}

// Pages name the family; a name Qt gives as "Family [Foundry]" is the family's.
std::u16string withoutFoundry(const std::u16string& family)
{
    const std::size_t bracket = family.rfind(u" [");
    return bracket != std::u16string::npos && bracket > 0 && family.back() == u']' ? family.substr(0, bracket) : family;
}

} // namespace

void FormatToolbar::setFamilies(const std::vector<std::u16string>& families)
{
    std::vector<std::u16string> names;
    names.reserve(families.size() + 1);
    for (const std::u16string& family : families)
        names.push_back(withoutFoundry(family));
    names.emplace_back(u"Default");
    std::sort(names.begin(), names.end(), lessNoCase);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::u16string& a, const std::u16string& b) { return EqualsNoCase(a, b); }),
                names.end());
    m_fontNames = std::move(names);
}

int FormatToolbar::fontRow(std::u16string_view font) const
{
    const std::u16string name(font);
    const auto at = std::lower_bound(m_fontNames.begin(), m_fontNames.end(), name, lessNoCase);
    return at != m_fontNames.end() && EqualsNoCase(*at, name) ? static_cast<int>(at - m_fontNames.begin()) : -1;
}

int FormatToolbar::swatchRow(rtf::Colour colour)
{
    if ((colour & kSystemColourBit) != 0)
        colour = 0;
    const auto swatch = std::find(kSwatches.begin(), kSwatches.end(), colour);
    return swatch == kSwatches.end() ? -1 : static_cast<int>(swatch - kSwatches.begin());
}

int FormatToolbar::enteredSize(std::u16string_view typed)
{
    return std::clamp(static_cast<int>(LeadingInt(typed)), kSmallestSize, kLargestSize);
}

} // namespace quillory
