#pragma once

#include "core/rtf/Document.h"

class QString;
class QTextEdit;

// The formatting toolbar's side of the editor: what the selection looks like and how its
// formatting changes, in the page model's terms (colours as 0x00BBGGRR).
namespace quillory::richedit {

struct SelectionAttributes {
    rtf::CharFormat format; // font and size always filled in, from the document's defaults if need be
    rtf::Alignment alignment = rtf::Alignment::Left;
    rtf::Numbering numbering = rtf::Numbering::None;
};

// The first selected character's format, or the format typing would use when nothing is selected,
// and the alignment and numbering of the paragraph the selection starts in. Looks only at the
// selection's start, so its cost does not grow with the page or the selection.
[[nodiscard]] SelectionAttributes selectionAttributes(const QTextEdit& editor);

struct StyleSet {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
};

// Each of these changes the selection, or the format of what is typed next when nothing is
// selected, and leaves every other attribute alone.
void setSelectionFont(QTextEdit& editor, const QString& family);
void setSelectionSize(QTextEdit& editor, int points);
// A system colour (top bit set) makes the text take the automatic colour.
void setSelectionColour(QTextEdit& editor, rtf::Colour colour);
// Writes all four flags.
void setSelectionStyle(QTextEdit& editor, StyleSet style);

// These act on every paragraph the selection touches.
void setSelectionAlignment(QTextEdit& editor, rtf::Alignment alignment);
// Bullet leaves paragraphs that already all carry a list of any kind as they are, so a numbered
// list is not turned into bullets; None takes the paragraphs out of their lists.
void setSelectionNumbering(QTextEdit& editor, rtf::Numbering numbering);

} // namespace quillory::richedit
