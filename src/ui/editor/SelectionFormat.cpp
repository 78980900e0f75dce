#include "ui/editor/SelectionFormat.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "platform/QtText.h"
#include "ui/editor/RichEdit.h"

namespace quillory::richedit {

namespace {

constexpr rtf::Colour kSystemColourBit = 0x80000000u;

QTextCharFormat selectionCharFormat(const QTextEdit& editor)
{
    const QTextCursor cursor = editor.textCursor();
    if (!cursor.hasSelection())
        return editor.currentCharFormat();
    // A cursor's format is that of the character before it: stand after the first selected one.
    QTextCursor first(editor.document());
    first.setPosition(cursor.selectionStart() + 1);
    return first.charFormat();
}

} // namespace

SelectionAttributes selectionAttributes(const QTextEdit& editor)
{
    SelectionAttributes out;
    out.format = charFormatToModel(selectionCharFormat(editor));
    const QFont defaults = editor.document()->defaultFont();
    if (out.format.font.empty())
        out.format.font = fromQ(defaults.family());
    if (out.format.pointSize == 0)
        out.format.pointSize = defaults.pointSizeF() > 0 ? defaults.pointSizeF() : defaults.pixelSize() * 0.75;
    const QTextBlock block = editor.document()->findBlock(editor.textCursor().selectionStart());
    out.alignment = alignmentToModel(block.blockFormat().alignment());
    out.numbering = numberingOf(block);
    return out;
}

void setSelectionFont(QTextEdit& editor, const QString& family)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    editor.mergeCurrentCharFormat(format);
}

void setSelectionSize(QTextEdit& editor, int points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    editor.mergeCurrentCharFormat(format);
}

void setSelectionColour(QTextEdit& editor, rtf::Colour colour)
{
    QTextCharFormat format;
    format.setForeground((colour & kSystemColourBit) != 0 ? QBrush() : QBrush(colourToQ(colour)));
    editor.mergeCurrentCharFormat(format);
}

void setSelectionStyle(QTextEdit& editor, StyleSet style)
{
    QTextCharFormat format;
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setFontStrikeOut(style.strikeout);
    editor.mergeCurrentCharFormat(format);
}

void setSelectionAlignment(QTextEdit& editor, rtf::Alignment alignment)
{
    editor.setAlignment(alignmentFromModel(alignment));
}

void setSelectionNumbering(QTextEdit& editor, rtf::Numbering numbering)
{
    QTextCursor cursor = editor.textCursor();
    if (numbering == rtf::Numbering::Bullet) {
        QTextDocument* document = editor.document();
        const QTextBlock last = document->findBlock(cursor.selectionEnd());
        bool allListed = true;
        for (QTextBlock block = document->findBlock(cursor.selectionStart()); block.isValid() && allListed;
             block = block.next()) {
            allListed = block.textList() != nullptr;
            if (block == last)
                break;
        }
        if (allListed)
            return;
    }
    setNumbering(cursor, numbering);
}

} // namespace quillory::richedit
