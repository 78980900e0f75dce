#pragma once

#include "core/rtf/Document.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

// The formatting toolbar's choices, apart from its widgets: the fonts the font box lists and the
// row that shows a font, the colour box's swatches, the sizes the size box accepts, and whether a
// formatting command is applying its own change (which must not refresh the toolbar).
class FormatToolbar {
public:
    // Black, maroon, green, olive, navy, purple, teal, grey, silver, red, lime, yellow, blue,
    // fuchsia, aqua, white (0x00BBGGRR).
    static constexpr std::array<rtf::Colour, 16> kSwatches{0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                                           0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                                           0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    // Their names, for screen readers and hints.
    static constexpr std::array<std::u16string_view, 16> kSwatchNames{
        u"Black",  u"Maroon", u"Green", u"Olive",  u"Navy", u"Purple",  u"Teal", u"Grey",
        u"Silver", u"Red",    u"Lime",  u"Yellow", u"Blue", u"Fuchsia", u"Aqua", u"White"};
    static constexpr int kSmallestSize = 4, kLargestSize = 500;

    // The font box's entries from the families the system has: sorted and unique without regard
    // to case, a foundry's "Family [Foundry]" named by its family, and "Default" among them.
    void setFamilies(const std::vector<std::u16string>& families);
    [[nodiscard]] const std::vector<std::u16string>& fontNames() const noexcept { return m_fontNames; }
    // The row naming `font` without regard to case, or -1.
    [[nodiscard]] int fontRow(std::u16string_view font) const;

    // The swatch showing `colour`, or -1; a system colour (top bit set) shows as black.
    [[nodiscard]] static int swatchRow(rtf::Colour colour);
    // The size a typed entry applies: its leading number, kept within the sizes offered.
    [[nodiscard]] static int enteredSize(std::u16string_view typed);

    [[nodiscard]] bool applying() const noexcept { return m_applying; }
    [[nodiscard]] bool& applyingFlag() noexcept { return m_applying; }

private:
    std::vector<std::u16string> m_fontNames;
    bool m_applying = false;
};

} // namespace quillory
