#include "ui/RichEdit.h"

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
#include <QTextList>

#include "platform/QtText.h"

namespace quillory::richedit {

namespace {

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

// Model text as Qt may hold it inside one block: U+000B is Qt's line separator, and characters that
// would make Qt start a block or a frame are kept as visible stand-ins instead.
QString blockText(std::u16string_view text)
{
    QString out = toQ(text);
    for (QChar& ch : out) {
        switch (ch.unicode()) {
        case 0x000B:
        case u'\r':
        case u'\n':
        case 0x2029:
            ch = QChar::LineSeparator;
            break;
        case 0xFDD0:
        case 0xFDD1:
            ch = QChar::ReplacementCharacter;
            break;
        default:
            break;
        }
    }
    return out;
}

void appendText(rtf::Paragraph& para, const QString& text, const rtf::CharFormat& format)
{
    std::u16string units = fromQ(text);
    for (char16_t& ch : units)
        if (ch == 0x2028)
            ch = 0x000B;
    if (!para.runs.empty() && para.runs.back().format == format)
        para.runs.back().text += units;
    else
        para.runs.push_back(rtf::Run{std::move(units), format});
}

// Fragments of one page share few formats; converting each once keeps long pages cheap.
class FormatCache {
public:
    const rtf::CharFormat& get(const QTextFragment& fragment)
    {
        const int index = fragment.charFormatIndex();
        auto it = m_formats.find(index);
        if (it == m_formats.end())
            it = m_formats.emplace(index, charFormatToModel(fragment.charFormat())).first;
        return it->second;
    }

private:
    std::unordered_map<int, rtf::CharFormat> m_formats;
};

// The block's text between the document positions from and to.
rtf::Paragraph paragraphOf(const QTextBlock& block, int from, int to, FormatCache& formats)
{
    rtf::Paragraph para;
    para.alignment = alignmentToModel(block.blockFormat().alignment());
    para.numbering = numberingOf(block);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const int start = std::max(fragment.position(), from);
        const int end = std::min(fragment.position() + fragment.length(), to);
        if (start >= end)
            continue;
        // Images and other objects stand in the text as U+FFFC; the page has no place for them.
        if (fragment.charFormat().objectType() != QTextFormat::NoObject)
            continue;
        QString text = fragment.text();
        if (start != fragment.position() || end != fragment.position() + fragment.length())
            text = text.mid(start - fragment.position(), end - start);
        appendText(para, text, formats.get(fragment));
    }
    return para;
}

// Builds the page at the cursor, which must stand in an empty block that takes the first paragraph.
void build(QTextCursor& cursor, const rtf::Document& page)
{
    QTextList* list = nullptr;
    rtf::Numbering listNumbering = rtf::Numbering::None;
    bool first = true;
    for (const rtf::Paragraph& para : page.paragraphs) {
        QTextBlockFormat blockFormat;
        blockFormat.setAlignment(alignmentFromModel(para.alignment));
        // The block's own character format sets the height of an empty line and what typing at its
        // start looks like.
        const QTextCharFormat blockChar =
            para.runs.empty() ? QTextCharFormat() : charFormatFromModel(para.runs.front().format);
        if (first) {
            cursor.setBlockFormat(blockFormat);
            cursor.setBlockCharFormat(blockChar);
            first = false;
        } else {
            cursor.insertBlock(blockFormat, blockChar);
        }
        if (para.numbering == rtf::Numbering::None) {
            list = nullptr;
        } else if (list != nullptr && para.numbering == listNumbering) {
            list->add(cursor.block());
        } else {
            list = cursor.createList(listFormat(para.numbering));
            listNumbering = para.numbering;
        }
        for (const rtf::Run& run : para.runs)
            if (!run.text.empty())
                cursor.insertText(blockText(run.text), charFormatFromModel(run.format));
    }
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
    if (format.pointSize > 0)
        out.setFontPointSize(format.pointSize);
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
    return list->format().style() == QTextListFormat::ListDisc ? rtf::Numbering::Bullet : rtf::Numbering::Other;
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
    rtf::Document page;
    FormatCache formats;
    const int end = document.characterCount();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        page.paragraphs.push_back(paragraphOf(block, 0, end, formats));
    if (page.paragraphs.empty())
        page.paragraphs.emplace_back();
    return page;
}

rtf::Document selectionToModel(const QTextCursor& cursor)
{
    rtf::Document page;
    const QTextDocument* document = cursor.document();
    if (document != nullptr && cursor.hasSelection()) {
        FormatCache formats;
        const int from = cursor.selectionStart();
        const int to = cursor.selectionEnd();
        const QTextBlock last = document->findBlock(to);
        for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
            page.paragraphs.push_back(paragraphOf(block, from, to, formats));
            if (block == last)
                break;
        }
    }
    if (page.paragraphs.empty())
        page.paragraphs.emplace_back();
    return page;
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
    build(cursor, page);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

void insertModel(QTextCursor& cursor, const rtf::Document& page)
{
    // Built apart and inserted as a fragment, the page merges with the text around it the way any
    // rich paste does.
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    QTextCursor at(&scratch);
    build(at, page);
    cursor.insertFragment(QTextDocumentFragment(&scratch));
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
