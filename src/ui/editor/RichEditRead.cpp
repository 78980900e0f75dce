#include "ui/editor/RichEditRead.h"

#include <algorithm>
#include <limits>

#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>

#include "platform/QtText.h"
#include "ui/editor/RichEdit.h"
#include "ui/editor/RichEditParts.h"

namespace quillory::richedit::detail {

namespace {

constexpr int kEverything = std::numeric_limits<int>::max();

void appendText(rtf::Paragraph& para, const QString& text, const rtf::CharFormat& format)
{
    std::u16string units = fromQ(text);
    for (char16_t& ch : units)
        if (ch == 0x2028)
            ch = 0x000B;
    rtf::Run* last = para.runs.empty() ? nullptr : &para.runs.back();
    if (last != nullptr && last->picture == 0 && last->note == 0 && last->format == format)
        last->text += units;
    else
        para.runs.push_back(rtf::Run{std::move(units), format});
}

bool isLabel(const QTextFormat& format)
{
    return format.objectType() == kNoteLabel;
}

// A block holding nothing but a note's number.
bool onlyLabel(const QTextBlock& block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().isValid() && !isLabel(it.fragment().charFormat()))
            return false;
    return true;
}

} // namespace

PageReader::PageReader(const QTextDocument* origin) : m_origin(origin)
{
}

rtf::Document PageReader::read(const QTextDocument& document)
{
    m_document = &document;
    findNotes(m_origin != nullptr ? *m_origin : document);
    items(itemsOf(document.rootFrame()->begin()), m_page.paragraphs, 0, Context::Page);
    return finish();
}

rtf::Document PageReader::readRange(const QTextDocument& document, int from, int to)
{
    m_document = &document;
    findNotes(m_origin != nullptr ? *m_origin : document);
    const QTextBlock last = document.findBlock(to);
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        m_page.paragraphs.push_back(paragraph(block, from, to, 0, Context::Page));
        if (block == last)
            break;
    }
    return finish();
}

rtf::Document PageReader::finish()
{
    if (m_page.paragraphs.empty())
        m_page.paragraphs.emplace_back();
    rtf::CompactReferences(m_page);
    return std::move(m_page);
}

std::vector<PageReader::Item> PageReader::itemsOf(QTextFrame::iterator it)
{
    std::vector<Item> out;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame())
            out.push_back(Item{QTextBlock(), frame});
        else if (it.currentBlock().isValid())
            out.push_back(Item{it.currentBlock(), nullptr});
    }
    return out;
}

// The notes are read where the page refers to them, so the page's pictures, links and lists keep
// the order in which a reader of the file meets them.
void PageReader::findNotes(const QTextDocument& document)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (!frame->frameFormat().boolProperty(kNotesFrame))
            continue;
        int note = 0;
        for (const Item& item : itemsOf(frame->begin())) {
            if (item.frame == nullptr) {
                const QTextBlockFormat format = item.block.blockFormat();
                if (format.boolProperty(kNoteRule))
                    continue;
                if (format.hasProperty(kNoteIndex)) {
                    note = format.intProperty(kNoteIndex);
                    m_endnotes[note] = format.boolProperty(kEndnote);
                }
            }
            if (note > 0)
                m_noteItems[note].push_back(item);
        }
    }
}

void PageReader::items(const std::vector<Item>& all, std::vector<rtf::Paragraph>& out, int depth, Context context)
{
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Item& item = all[i];
        if (item.frame != nullptr) {
            if (auto* table = qobject_cast<QTextTable*>(item.frame))
                this->table(table, out, depth + 1);
            else if (!item.frame->frameFormat().boolProperty(kNotesFrame))
                items(itemsOf(item.frame->begin()), out, depth, context);
            continue;
        }
        // The blocks Qt keeps around tables and frames, while nothing was typed into them.
        if (item.block.length() <= 1 && item.block.blockFormat().boolProperty(kFiller))
            continue;
        const bool frameAfter = i + 1 < all.size() && all[i + 1].frame != nullptr;
        if (context == Context::Notes && frameAfter && onlyLabel(item.block))
            continue;
        out.push_back(paragraph(item.block, 0, kEverything, depth, context));
    }
}

// Each row's cells, left to right; a cell's last paragraph ends it, the row's last ends the row,
// which keeps the cells' edges and borders.
void PageReader::table(QTextTable* table, std::vector<rtf::Paragraph>& out, int depth)
{
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    for (int r = 0; r < table->rows(); ++r) {
        rtf::TableRow row;
        // In twips, saturating: pasted HTML may give any width.
        double edge = 0;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue;
            for (int k = c; k < c + cell.columnSpan(); ++k)
                edge += k < widths.size() && widths[k].type() == QTextLength::FixedLength
                            ? std::max(widths[k].rawValue(), 0.0) * 15
                            : 1440;
            edge = std::min(edge, static_cast<double>(std::numeric_limits<int>::max()));
            const QTextTableCellFormat format = cell.format().toTableCellFormat();
            rtf::TableCell layout{
                format.hasProperty(kCellRight) ? format.intProperty(kCellRight) : static_cast<int>(edge),
                format.hasProperty(kCellBorders) ? format.boolProperty(kCellBorders) : format.topBorder() > 0};
            const std::size_t before = out.size();
            items(itemsOf(cell.begin()), out, depth, Context::Cell);
            if (out.size() == before || out.back().depth != depth) {
                rtf::Paragraph empty;
                empty.depth = static_cast<std::uint8_t>(depth);
                out.push_back(empty);
            }
            out.back().end = rtf::CellEnd::Cell;
            row.cells.push_back(layout);
        }
        if (row.cells.empty())
            continue;
        out.back().end = rtf::CellEnd::Row;
        m_page.rows.push_back(std::move(row));
        out.back().row = static_cast<std::uint32_t>(m_page.rows.size());
    }
}

std::uint32_t PageReader::noteFor(int number)
{
    if (const auto known = m_notes.find(number); known != m_notes.end())
        return known->second;
    const auto content = m_noteItems.find(number);
    if (content == m_noteItems.end())
        return 0;
    // Read into a note of its own first: reading may add pictures, links and rows to the page.
    rtf::Note note;
    note.endnote = m_endnotes[number];
    items(content->second, note.paragraphs, 0, Context::Notes);
    if (note.paragraphs.empty())
        note.paragraphs.emplace_back();
    m_page.notes.push_back(std::move(note));
    const auto index = static_cast<std::uint32_t>(m_page.notes.size());
    m_notes.emplace(number, index);
    return index;
}

rtf::Paragraph PageReader::paragraph(const QTextBlock& block, int from, int to, int depth, Context context)
{
    rtf::Paragraph para;
    para.alignment = alignmentToModel(block.blockFormat().alignment());
    para.depth = static_cast<std::uint8_t>(std::min(depth, 15));
    list(block, para);
    const QTextDocument* images = m_origin != nullptr ? m_origin : m_document;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const int start = std::max(fragment.position(), from);
        const int end = std::min(fragment.position() + fragment.length(), to);
        if (start >= end)
            continue;
        const QTextCharFormat format = fragment.charFormat();
        const int count = end - start;
        switch (format.objectType()) {
        case QTextFormat::NoObject: {
            QString text = fragment.text();
            if (start != fragment.position() || end != fragment.position() + fragment.length())
                text = text.mid(start - fragment.position(), count);
            appendText(para, text, formatOf(fragment));
            break;
        }
        case QTextFormat::ImageObject:
            for (int k = 0; k < count; ++k) {
                std::optional<rtf::Picture> picture = pictureOf(format.toImageFormat(), images);
                if (!picture)
                    break;
                m_page.pictures.push_back(std::move(*picture));
                para.runs.push_back(rtf::Run{std::u16string(1, rtf::kObjectChar), formatOf(fragment),
                                             static_cast<std::uint32_t>(m_page.pictures.size()), 0});
            }
            break;
        case kHiddenObject: {
            rtf::CharFormat hidden = formatOf(fragment);
            hidden.hidden = true;
            for (int k = 0; k < count; ++k)
                appendText(para, format.stringProperty(kHiddenText), hidden);
            break;
        }
        case kNoteReference:
            for (int k = 0; k < count && context != Context::Notes; ++k) {
                rtf::CharFormat reference = formatOf(fragment);
                reference.link = 0;
                if (const std::uint32_t note = noteFor(format.intProperty(kNoteNumber)))
                    para.runs.push_back(rtf::Run{std::u16string(1, rtf::kObjectChar), reference, 0, note});
            }
            break;
        default: // note labels, and objects the page has no place for
            break;
        }
    }
    return para;
}

void PageReader::list(const QTextBlock& block, rtf::Paragraph& p)
{
    const QTextList* textList = block.textList();
    if (textList == nullptr)
        return;
    const QTextListFormat format = textList->format();
    const std::optional<rtf::List> list = listOf(format);
    if (!list) {
        p.numbering = numberingOf(block);
        return;
    }
    const int id = format.intProperty(kListId);
    auto known = m_lists.find(id);
    if (known == m_lists.end()) {
        if (m_page.lists.size() >= std::numeric_limits<std::uint16_t>::max())
            return;
        m_page.lists.push_back(*list);
        known = m_lists.insert(id, static_cast<std::uint16_t>(m_page.lists.size()));
    }
    const rtf::List& page = m_page.lists[known.value() - 1u];
    const auto level = static_cast<std::size_t>(std::clamp(
        format.intProperty(kListLevel), 0, static_cast<int>(std::min<std::size_t>(page.levels.size(), 256)) - 1));
    const rtf::ListKind kind = page.levels[level].kind;
    if (kind == rtf::ListKind::None)
        return;
    p.list = known.value();
    p.level = static_cast<std::uint8_t>(level);
    p.numbering = kind == rtf::ListKind::Bullet ? rtf::Numbering::Bullet : rtf::Numbering::Other;
}

// Fragments of one page share few formats; converting each once keeps long pages cheap.
const rtf::CharFormat& PageReader::formatOf(const QTextFragment& fragment)
{
    const int index = fragment.charFormatIndex();
    auto it = m_formats.find(index);
    if (it == m_formats.end()) {
        const QTextCharFormat format = fragment.charFormat();
        rtf::CharFormat model = charFormatToModel(format);
        if (format.isAnchor() && !format.anchorHref().isEmpty()) {
            auto link = m_links.find(format.anchorHref());
            if (link == m_links.end()) {
                m_page.links.push_back(fromQ(format.anchorHref()));
                link = m_links.insert(format.anchorHref(), static_cast<std::uint32_t>(m_page.links.size()));
            }
            model.link = link.value();
        }
        it = m_formats.emplace(index, std::move(model)).first;
    }
    return it->second;
}

} // namespace quillory::richedit::detail
