#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

class QColor;

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

// The icon for id, made once per id and shared afterwards. Needs a QGuiApplication.
// The toolbar's pictures are drawn at 1, 1.5, 2 and 3 times their size, and their outlines and
// lines take the palette's button text colour when painted, so they stay sharp at those screen
// scales and read on light and dark themes. Tray carries fixed-colour pictures of 16 to 64 pixels.
[[nodiscard]] QIcon Glyph(GlyphId id);

// The size the picture is laid out at: 20 pixels for the help pictures, 16 for the rest (for
// Tray, its smallest).
[[nodiscard]] QSize glyphSize(GlyphId id);

// A toolbar picture as drawn for `side` device pixels, its ink in `ink`; a null image when it
// was not drawn at that size.
[[nodiscard]] QImage glyphDrawing(GlyphId id, int side, const QColor& ink);

} // namespace quillory
