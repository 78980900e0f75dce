#pragma once

#include <QIcon>
#include <QSize>

namespace quillory {

// The program's own pictures, built into the binary.
enum class GlyphId {
    Save,
    Open,
    AddItem,
    RemoveItem,
    Rename,
    Copy,
    Print,
    AlignLeft,
    AlignCentre,
    AlignRight,
    Bullet,
    Overview,
    HelpOff,
    HelpOn,
    Tray,
};

// The icon for id, loaded once per id and shared afterwards. Needs a QGuiApplication.
// Tray carries 16, 32 and 64 pixel versions; the help pictures are 20 pixels, the rest 16.
[[nodiscard]] QIcon Glyph(GlyphId id);

// The size the picture was drawn for (for Tray, its smallest).
[[nodiscard]] QSize glyphSize(GlyphId id);

} // namespace quillory
