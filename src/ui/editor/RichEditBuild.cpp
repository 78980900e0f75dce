#include "ui/editor/RichEditBuild.h"

#include <algorithm>
#include <atomic>
#include <iterator>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>

#include "platform/QtText.h"
#include "ui/editor/RichEdit.h"
#include "ui/editor/RichEditParts.h"

namespace quillory::richedit::detail {

namespace {

QTextListFormat ownListFormat(rtf::Numbering numbering)
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

int nextListId()
{
    static std::atomic<int> ids{0};
    return ++ids;
}

} // namespace

PageBuilder::PageBuilder(QTextCursor& cursor, const rtf::Document& page, QTextDocument& document)
    : m_cursor(cursor), m_page(page), m_document(document), m_levels(page.lists.size()),
      m_listIds(page.lists.size(), 0), m_noteOffset(lastNote(document))
{
}

void PageBuilder::build(bool withNotes)
{
    registerObjects(m_document);
    flow(m_page.paragraphs, 0, m_page.paragraphs.size(), 0);
    if (withNotes && !m_page.notes.empty())
        notes();
}

void PageBuilder::buildNotes()
{
    registerObjects(m_document);
    if (!m_page.notes.empty())
        notes();
}

int PageBuilder::lastNote(const QTextDocument& document)
{
    int last = 0;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (!frame->frameFormat().boolProperty(kNotesFrame))
            continue;
        for (auto it = frame->begin(); !it.atEnd(); ++it)
            if (it.currentFrame() == nullptr)
                last = std::max(last, it.currentBlock().blockFormat().intProperty(kNoteIndex));
    }
    return last;
}

void PageBuilder::flow(const std::vector<rtf::Paragraph>& paragraphs, std::size_t begin, std::size_t end, int depth)
{
    for (std::size_t i = begin; i < end;) {
        if (paragraphs[i].depth > depth) {
            std::size_t last = i;
            while (last < end && paragraphs[last].depth > depth)
                ++last;
            table(paragraphs, i, last, depth + 1);
            i = last;
        } else {
            paragraph(paragraphs[i]);
            ++i;
        }
    }
}

// The rows of the paragraphs [begin, end) at `depth`, each row's cells with their layout.
std::vector<TableRowCells> PageBuilder::tableRows(const std::vector<rtf::Paragraph>& paragraphs, std::size_t begin,
                                                  std::size_t end, int depth) const
{
    std::vector<TableRowCells> rows(1);
    std::vector<const rtf::Paragraph*> lasts(1, nullptr);
    std::size_t cellStart = begin;
    for (std::size_t k = begin; k < end; ++k) {
        const rtf::Paragraph& p = paragraphs[k];
        if (p.depth != depth || p.end == rtf::CellEnd::None)
            continue;
        rows.back().push_back(TableCellSpan{cellStart, k + 1, {}, 0, 1});
        cellStart = k + 1;
        if (p.end == rtf::CellEnd::Row) {
            lasts.back() = &p;
            rows.emplace_back();
            lasts.push_back(nullptr);
        }
    }
    if (cellStart < end)
        rows.back().push_back(TableCellSpan{cellStart, end, {}, 0, 1});
    if (rows.back().empty()) {
        rows.pop_back();
        lasts.pop_back();
    }
    static const std::vector<rtf::TableCell> kNone;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const rtf::Paragraph* last = lasts[r];
        const rtf::TableRow* layout = last != nullptr && last->row != 0 && last->row <= m_page.rows.size()
                                          ? &m_page.rows[last->row - 1u]
                                          : nullptr;
        const std::vector<rtf::TableCell> cells =
            rtf::FittedCells(layout != nullptr ? layout->cells : kNone, rows[r].size());
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            rows[r][c].layout = cells[c];
    }
    return rows;
}

// The rows as one grid or more: a run of rows shares a grid while the grid stays within a small
// multiple of the cells the rows really have, so a wide row among narrow ones (which would make
// every row as wide) starts a grid of its own. Qt's tables cost memory by the grid.
void PageBuilder::table(const std::vector<rtf::Paragraph>& paragraphs, std::size_t begin, std::size_t end, int depth)
{
    const std::vector<TableRowCells> rows = tableRows(paragraphs, begin, end, depth);
    for (std::size_t first = 0; first < rows.size();) {
        Grid grid;
        std::size_t cells = 0;
        std::size_t last = first;
        for (; last < rows.size(); ++last) {
            Grid wider = grid;
            wider.add(rows[last]);
            const std::size_t real = cells + rows[last].size();
            if (last > first && (last - first + 1) * wider.columns() > 4 * real + kMaxColumns)
                break;
            grid = std::move(wider);
            cells = real;
        }
        layOutTable(rows, first, last, grid, paragraphs, depth);
        first = last;
    }
}

void Grid::add(const TableRowCells& row)
{
    widest = std::max(widest, row.size());
    int left = 0;
    std::vector<int> mine;
    mine.reserve(row.size());
    for (const TableCellSpan& cell : row) {
        increasing = increasing && cell.layout.right > left;
        left = cell.layout.right;
        mine.push_back(cell.layout.right);
    }
    // Past the widest grid laid by edges, the edges no longer matter: stop merging them.
    if (!increasing || edges.size() > kMaxColumns) {
        edges.clear();
        increasing = false;
        return;
    }
    std::vector<int> merged;
    merged.reserve(edges.size() + mine.size());
    std::set_union(edges.begin(), edges.end(), mine.begin(), mine.end(), std::back_inserter(merged));
    edges = std::move(merged);
    if (edges.size() > kMaxColumns) {
        edges.clear();
        increasing = false;
    }
}

std::size_t Grid::columns() const noexcept
{
    return increasing ? std::max(edges.size(), widest) : widest;
}

// Rows [first, last) as one Qt table on the grid of the edges their cells name.
void PageBuilder::layOutTable(const std::vector<TableRowCells>& rows, std::size_t first, std::size_t last,
                              const Grid& grid, const std::vector<rtf::Paragraph>& paragraphs, int depth)
{
    const std::vector<int> edges = grid.increasing ? grid.edges : std::vector<int>();
    const std::size_t columns = grid.columns();
    std::vector<TableRowCells> placed(rows.begin() + static_cast<std::ptrdiff_t>(first),
                                      rows.begin() + static_cast<std::ptrdiff_t>(last));
    for (TableRowCells& row : placed) {
        int column = 0;
        for (std::size_t c = 0; c < row.size(); ++c) {
            TableCellSpan& cell = row[c];
            cell.column = column;
            const int edge =
                edges.empty()
                    ? column
                    : static_cast<int>(std::lower_bound(edges.begin(), edges.end(), cell.layout.right) - edges.begin());
            // A row short of the grid's last edge stretches its last cell to it.
            cell.span = c + 1 == row.size() ? static_cast<int>(columns) - column : std::max(edge - column + 1, 1);
            column += cell.span;
        }
    }

    QTextTableFormat format;
    format.setBorderCollapse(true);
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    if (!edges.empty()) {
        QList<QTextLength> widths;
        double left = 0; // twips; edges may lie anywhere in int's range
        for (const int edge : edges) {
            widths.append(QTextLength(QTextLength::FixedLength, std::max(edge - left, 0.0) / 15.0));
            left = edge;
        }
        format.setColumnWidthConstraints(widths);
    }
    if (m_label) // a note that begins with a table: its number stands alone before it
        paragraph(rtf::Paragraph{});
    if (m_fresh) // Qt keeps the block the table is inserted at before it
        markFiller();
    QTextTable* table = m_cursor.insertTable(static_cast<int>(placed.size()), static_cast<int>(columns), format);
    for (std::size_t r = 0; r < placed.size(); ++r) {
        for (const TableCellSpan& cell : placed[r]) {
            const int row = static_cast<int>(r);
            if (cell.span > 1)
                table->mergeCells(row, cell.column, 1, cell.span);
            QTextTableCell target = table->cellAt(row, cell.column);
            QTextTableCellFormat cellFormat = target.format().toTableCellFormat();
            if (cell.layout.borders) {
                cellFormat.setBorder(1);
                cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                cellFormat.setBorderBrush(QBrush(Qt::black));
            }
            cellFormat.setProperty(kCellRight, cell.layout.right);
            cellFormat.setProperty(kCellBorders, cell.layout.borders);
            target.setFormat(cellFormat);
            m_cursor = target.firstCursorPosition();
            m_fresh = true;
            flow(paragraphs, cell.begin, cell.end, depth);
        }
    }
    m_cursor = table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    markFiller();
    m_fresh = true;
}

// A block Qt keeps around a table or frame, until a paragraph takes it.
void PageBuilder::markFiller()
{
    QTextBlockFormat filler;
    filler.setProperty(kFiller, true);
    m_cursor.setBlockFormat(filler);
}

void PageBuilder::paragraph(const rtf::Paragraph& p)
{
    QTextBlockFormat blockFormat;
    blockFormat.setAlignment(alignmentFromModel(p.alignment));
    if (m_note != 0) {
        blockFormat.setProperty(kNoteIndex, m_note);
        blockFormat.setProperty(kEndnote, m_page.notes[static_cast<std::size_t>(m_note - m_noteOffset) - 1].endnote);
    }
    // The block's own character format sets the height of an empty line and what typing at its
    // start looks like.
    const auto first = std::find_if(p.runs.begin(), p.runs.end(), [](const rtf::Run& r) {
        return !r.text.empty() && r.picture == 0 && r.note == 0 && !r.format.hidden;
    });
    const QTextCharFormat blockChar = first == p.runs.end() ? QTextCharFormat() : charFormat(first->format);
    if (m_fresh) {
        // Merged: the first block of a cell keeps its character format in the cell's own, which
        // holds the cell's span and layout.
        m_cursor.setBlockFormat(blockFormat);
        m_cursor.mergeBlockCharFormat(blockChar);
        m_fresh = false;
    } else {
        m_cursor.insertBlock(blockFormat, blockChar);
    }
    list(p);
    if (m_label) {
        QTextCharFormat label = blockChar;
        label.setObjectType(kNoteLabel);
        label.setProperty(kNoteNumber, m_note);
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), label);
        m_label = false;
    }
    runs(p);
}

// A page's list gives one Qt list per level, begun again where the list goes back to a level
// above it, as its numbering restarts there.
void PageBuilder::list(const rtf::Paragraph& p)
{
    if (p.list != 0 && p.list <= m_page.lists.size() && !m_page.lists[p.list - 1u].levels.empty()) {
        m_own = nullptr;
        const std::size_t index = p.list - 1u;
        const rtf::List& list = m_page.lists[index];
        const std::size_t level = std::min<std::size_t>(p.level, list.levels.size() - 1);
        std::vector<QTextList*>& levels = m_levels[index];
        levels.resize(std::max(levels.size(), list.levels.size()), nullptr);
        if (levels[level] != nullptr) {
            levels[level]->add(m_cursor.block());
        } else {
            if (m_listIds[index] == 0)
                m_listIds[index] = nextListId();
            levels[level] = m_cursor.createList(listLevelFormat(list, level, m_listIds[index]));
        }
        std::fill(levels.begin() + static_cast<std::ptrdiff_t>(level) + 1, levels.end(), nullptr);
        return;
    }
    if (p.numbering == rtf::Numbering::None) {
        m_own = nullptr;
    } else if (m_own != nullptr && p.numbering == m_ownNumbering) {
        m_own->add(m_cursor.block());
    } else {
        m_own = m_cursor.createList(ownListFormat(p.numbering));
        m_ownNumbering = p.numbering;
    }
}

QTextCharFormat PageBuilder::charFormat(const rtf::CharFormat& format) const
{
    QTextCharFormat out = charFormatFromModel(format);
    if (format.link != 0 && format.link <= m_page.links.size()) {
        out.setAnchor(true);
        out.setAnchorHref(toQ(m_page.links[format.link - 1u]));
    }
    return out;
}

void PageBuilder::runs(const rtf::Paragraph& p)
{
    for (const rtf::Run& run : p.runs) {
        if (run.text.empty())
            continue;
        const QTextCharFormat format = charFormat(run.format);
        if (run.picture != 0 && run.picture <= m_page.pictures.size()) {
            QTextImageFormat image = pictureFormat(m_page.pictures[run.picture - 1u], m_document);
            image.merge(format);
            m_cursor.insertImage(image);
        } else if (run.note != 0 && run.note <= m_page.notes.size() && m_note == 0) {
            QTextCharFormat reference = format;
            reference.setObjectType(kNoteReference);
            reference.setProperty(kNoteNumber, static_cast<int>(run.note) + m_noteOffset);
            m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), reference);
        } else if (run.format.hidden) {
            QTextCharFormat hidden = format;
            hidden.setObjectType(kHiddenObject);
            hidden.setProperty(kHiddenText, toQ(run.text));
            m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), hidden);
        } else {
            m_cursor.insertText(blockText(run.text), format);
        }
    }
}

// The notes follow the page in a frame of their own, under a rule, each begun by its number; notes
// added later go to the end of that frame.
void PageBuilder::notes()
{
    QTextFrame* existing = nullptr;
    for (QTextFrame* frame : m_document.rootFrame()->childFrames())
        if (frame->frameFormat().boolProperty(kNotesFrame))
            existing = frame;
    if (existing != nullptr) {
        m_cursor = existing->lastCursorPosition();
    } else {
        QTextFrameFormat format;
        format.setProperty(kNotesFrame, true);
        format.setTopMargin(12);
        m_cursor.movePosition(QTextCursor::End);
        if (m_fresh)
            markFiller();
        QTextFrame* frame = m_cursor.insertFrame(format);
        QTextCursor after = frame->lastCursorPosition();
        after.movePosition(QTextCursor::NextBlock);
        QTextBlockFormat filler;
        filler.setProperty(kFiller, true);
        after.setBlockFormat(filler);
        QTextBlockFormat rule;
        rule.setProperty(kNoteRule, true);
        rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                         QTextLength(QTextLength::PercentageLength, 30));
        m_cursor.setBlockFormat(rule);
    }
    m_fresh = false;
    for (std::size_t n = 0; n < m_page.notes.size(); ++n) {
        m_note = static_cast<int>(n + 1) + m_noteOffset;
        m_label = true;
        m_levels.assign(m_page.lists.size(), {});
        m_own = nullptr;
        const std::vector<rtf::Paragraph>& paragraphs = m_page.notes[n].paragraphs;
        flow(paragraphs, 0, paragraphs.size(), 0);
        if (m_label)
            paragraph(rtf::Paragraph{});
    }
    m_note = 0;
}

} // namespace quillory::richedit::detail
