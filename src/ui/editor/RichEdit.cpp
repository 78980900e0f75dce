#include "ui/editor/RichEdit.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextList>

#include "platform/QtText.h"
#include "ui/editor/RichEditBuild.h"
#include "ui/editor/RichEditParts.h"
#include "ui/editor/RichEditRead.h"

namespace quillory::richedit {

namespace {

// The largest size word processors offer; Qt takes minutes to lay text much larger out.
constexpr double kMaxPointSize = 1638;

constexpr rtf::Colour kSystemColourBit = 0x80000000u;

std::optional<QPalette::ColorRole> paletteRole(unsigned index)
{
    // The system colour indexes pages and lists use, by the role that plays the same part here.
    switch (index) {
    case 4:
        return QPalette::Window; // menu
    case 5:
        return QPalette::Base; // window background
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::Text; // window text
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Dark; // button shadow
    case 17:
        return QPalette::PlaceholderText; // grey text
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light; // button highlight
    case 21:
        return QPalette::Shadow;
    case 22:
        return QPalette::Midlight;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return std::nullopt;
    }
}

QTextListFormat listFormat(rtf::Numbering numbering)
{
    QTextListFormat format;
    format.setStyle(numbering == rtf::Numbering::Bullet ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
    return format;
}

} // namespace

rtf::Colour colourFromQ(const QColor& colour) noexcept
{
    if (!colour.isValid())
        return rtf::kAutomaticColour;
    const QRgb rgb = colour.rgb();
    return static_cast<rtf::Colour>(qRed(rgb)) | (static_cast<rtf::Colour>(qGreen(rgb)) << 8) |
           (static_cast<rtf::Colour>(qBlue(rgb)) << 16);
}

QColor colourToQ(rtf::Colour colour, const QPalette& palette)
{
    if ((colour & kSystemColourBit) != 0) {
        const auto role = paletteRole(colour & 0xFFu);
        return palette.color(role.value_or(QPalette::Text));
    }
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

QColor colourToQ(rtf::Colour colour)
{
    return colourToQ(colour, QGuiApplication::palette());
}

rtf::CharFormat charFormatToModel(const QTextCharFormat& format)
{
    rtf::CharFormat out;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        out.font = fromQ(families.front());
    else if (format.hasProperty(QTextFormat::FontFamily))
        out.font = fromQ(format.stringProperty(QTextFormat::FontFamily));
    if (format.hasProperty(QTextFormat::FontPointSize))
        out.pointSize = format.fontPointSize();
    else if (format.hasProperty(QTextFormat::FontPixelSize))
        out.pointSize = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    if (!(out.pointSize > 0))
        out.pointSize = 0;
    const QBrush foreground = format.foreground();
    out.colour = foreground.style() == Qt::NoBrush ? rtf::kAutomaticColour : colourFromQ(foreground.color());
    out.bold = format.fontWeight() >= QFont::Bold;
    out.italic = format.fontItalic();
    const auto underline = format.underlineStyle();
    out.underline = format.fontUnderline() ||
                    (underline != QTextCharFormat::NoUnderline && underline != QTextCharFormat::SpellCheckUnderline);
    out.strikeout = format.fontStrikeOut();
    return out;
}

QTextCharFormat charFormatFromModel(const rtf::CharFormat& format)
{
    QTextCharFormat out;
    if (!format.font.empty())
        out.setFontFamilies({toQ(format.font)});
    // Capped as the reader caps it, for pages that come from elsewhere than a file.
    if (format.pointSize > 0)
        out.setFontPointSize(std::min(format.pointSize, kMaxPointSize));
    if ((format.colour & kSystemColourBit) == 0)
        out.setForeground(colourToQ(format.colour));
    if (format.bold)
        out.setFontWeight(QFont::Bold);
    if (format.italic)
        out.setFontItalic(true);
    if (format.underline)
        out.setFontUnderline(true);
    if (format.strikeout)
        out.setFontStrikeOut(true);
    return out;
}

rtf::Alignment alignmentToModel(Qt::Alignment alignment) noexcept
{
    switch (alignment & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute) {
    case Qt::AlignLeft:
        return rtf::Alignment::Left;
    case Qt::AlignHCenter:
        return rtf::Alignment::Centre;
    case Qt::AlignRight:
        return rtf::Alignment::Right;
    case Qt::AlignJustify:
        return rtf::Alignment::Justified;
    default:
        return rtf::Alignment::Other;
    }
}

Qt::Alignment alignmentFromModel(rtf::Alignment alignment) noexcept
{
    switch (alignment) {
    case rtf::Alignment::Centre:
        return Qt::AlignHCenter;
    case rtf::Alignment::Right:
        return Qt::AlignRight;
    case rtf::Alignment::Justified:
        return Qt::AlignJustify;
    case rtf::Alignment::Left:
    case rtf::Alignment::Other:
        break;
    }
    return Qt::AlignLeft;
}

rtf::Numbering numberingOf(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    if (list == nullptr)
        return rtf::Numbering::None;
    const QTextListFormat format = list->format();
    // A page's list says what each of its levels is, whatever bullet Qt draws for it.
    if (const std::optional<rtf::List> page = detail::listOf(format)) {
        const auto level = static_cast<std::size_t>(std::max(format.intProperty(detail::kListLevel), 0));
        if (level < page->levels.size())
            return page->levels[level].kind == rtf::ListKind::Bullet ? rtf::Numbering::Bullet : rtf::Numbering::Other;
    }
    return format.style() == QTextListFormat::ListDisc ? rtf::Numbering::Bullet : rtf::Numbering::Other;
}

QString listBullet(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    return list == nullptr ? QString() : list->format().stringProperty(detail::kListBullet);
}

void setNumbering(QTextCursor& cursor, rtf::Numbering numbering)
{
    QTextDocument* document = cursor.document();
    if (document == nullptr)
        return;
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    const auto selected = [&](auto&& each) {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            each(block);
            if (block == last)
                break;
        }
    };
    // Pressing the bullet button again over a list must keep the list as it is.
    bool same = true;
    selected([&](const QTextBlock& block) { same = same && numberingOf(block) == numbering; });
    if (same)
        return;
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    selected([&](const QTextBlock& block) {
        QTextCursor at(block);
        if (block.textList() != nullptr) {
            // Out of its list without the indent Qt would leave behind to keep the text in place.
            QTextBlockFormat format = block.blockFormat();
            format.setObjectIndex(-1);
            format.setIndent(0);
            at.setBlockFormat(format);
        }
        if (numbering == rtf::Numbering::None)
            return;
        if (list == nullptr)
            list = at.createList(listFormat(numbering));
        else
            list->add(block);
    });
    cursor.endEditBlock();
}

rtf::Document toModel(const QTextDocument& document)
{
    return detail::PageReader(nullptr).read(document);
}

rtf::Document selectionToModel(const QTextCursor& cursor)
{
    const QTextDocument* document = cursor.document();
    if (document == nullptr || !cursor.hasSelection())
        return rtf::Document{{rtf::Paragraph{}}};
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    // Within the page's running text each block the selection touches gives a paragraph; a
    // selection that reaches into a table or the notes is taken as Qt cuts it out of the document.
    bool plain = true;
    for (const QTextFrame* frame : document->rootFrame()->childFrames())
        plain = plain && (frame->lastPosition() < from || frame->firstPosition() > to);
    if (plain)
        return detail::PageReader(nullptr).readRange(*document, from, to);
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    QTextCursor(&scratch).insertFragment(cursor.selection());
    return detail::PageReader(document).read(scratch);
}

void fromModel(QTextDocument& document, const rtf::Document& page)
{
    // Without undo recording the rebuild is a single cheap pass, and the old history would refer
    // to text that is gone. Clearing inside the edit block makes the whole change one insertion of
    // the whole document, which an editor's layout then does lazily instead of all at once.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    document.clear();
    detail::PageBuilder(cursor, page, document).build();
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

void insertModel(QTextCursor& cursor, const rtf::Document& page)
{
    QTextDocument* document = cursor.document();
    if (document == nullptr)
        return;
    // Built apart and inserted as a fragment, the page merges with the text around it the way any
    // rich paste does; its notes join the document's own, numbered on from them.
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    QTextCursor at(&scratch);
    detail::PageBuilder(at, page, *document).build(false);
    cursor.beginEditBlock();
    cursor.insertFragment(QTextDocumentFragment(&scratch));
    if (!page.notes.empty()) {
        QTextCursor notes(document);
        detail::PageBuilder(notes, page, *document).buildNotes();
    }
    cursor.endEditBlock();
}

std::u16string pageText(const QTextDocument& document)
{
    return rtf::ExportText(toModel(document));
}

rtf::CharFormat caretFormat(const QTextEdit& editor)
{
    rtf::CharFormat format = charFormatToModel(editor.currentCharFormat());
    const QFont defaults = editor.document()->defaultFont();
    if (format.font.empty())
        format.font = fromQ(defaults.family());
    if (format.pointSize == 0 && defaults.pointSizeF() > 0)
        format.pointSize = defaults.pointSizeF();
    return format;
}

} // namespace quillory::richedit
