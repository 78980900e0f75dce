#include "core/rtf/RtfReader.h"

// Tables: cells and rows at each nesting depth, and the cell layout each row names.
namespace quillory::rtf::detail {

void RtfReader::tableWord(Group& g, Keyword k, int param)
{
    const bool body = g.dest == Dest::Body;
    const bool rowDefinition = body || g.dest == Dest::NestProps;
    switch (k) {
    case Keyword::Nesttableprops:
        g.dest = body ? Dest::NestProps : Dest::Skip;
        break;
    case Keyword::Intbl:
        g.para.depth = std::max<std::uint8_t>(g.para.depth, 1);
        break;
    case Keyword::Itap:
        g.para.depth = static_cast<std::uint8_t>(std::clamp(param, 0, kMaxTableDepth));
        break;
    case Keyword::Cell:
        if (body)
            endParagraph(CellEnd::Cell, 1);
        break;
    case Keyword::Nestcell:
        if (body)
            endParagraph(CellEnd::Cell, std::max<int>(g.para.depth, 2));
        break;
    case Keyword::Row:
        if (rowDefinition)
            endRow(1);
        break;
    case Keyword::Nestrow:
        if (rowDefinition)
            endRow(std::min(std::max<int>(g.para.depth, 2), kMaxTableDepth));
        break;
    case Keyword::Trowd:
        if (rowDefinition) {
            (g.dest == Dest::NestProps ? m_flow.nestCells : m_flow.rowCells).clear();
            m_cellBorders = false;
            m_borderSide = false;
        }
        break;
    case Keyword::Cellx:
        if (rowDefinition) {
            (g.dest == Dest::NestProps ? m_flow.nestCells : m_flow.rowCells).push_back(TableCell{param, m_cellBorders});
            m_cellBorders = false;
            m_borderSide = false;
        }
        break;
    case Keyword::CellBorder:
        m_borderSide = true;
        break;
    case Keyword::BorderStyle:
        m_cellBorders = m_cellBorders || m_borderSide;
        m_borderSide = false;
        break;
    case Keyword::BorderNone:
        m_borderSide = false;
        break;
    default:
        break;
    }
}

// \row, \nestrow: text after the row's last \cell makes one more cell; rows nested in it that are
// still open end first.
void RtfReader::endRow(int depth)
{
    if (!paragraphEmpty())
        endParagraph(CellEnd::Cell, depth);
    closeRowsAbove(depth, true);
    if (m_flow.openDepth >= depth)
        closeRow(depth, true);
}

void RtfReader::closeRowsAbove(int depth, bool currentOpen)
{
    for (int d = m_flow.openDepth; d > depth; --d)
        closeRow(d, currentOpen);
}

// Ends the open row at `depth` with the last paragraph before the one being read (`currentOpen`) or
// with the last paragraph: that one ends the row when it stands at this depth, otherwise (a nested
// table ended the cell) an empty paragraph does.
void RtfReader::closeRow(int depth, bool currentOpen)
{
    std::vector<Paragraph>& paragraphs = *m_flow.paragraphs;
    const std::size_t at = currentOpen ? paragraphs.size() - 1 : paragraphs.size();
    int& cells = m_flow.cells[static_cast<std::size_t>(depth)];
    if (at > 0 && paragraphs[at - 1].depth == depth && paragraphs[at - 1].end != CellEnd::Row) {
        Paragraph& last = paragraphs[at - 1];
        if (last.end == CellEnd::None)
            ++cells;
        last.end = CellEnd::Row;
        attachRow(last, depth);
    } else {
        Paragraph filler;
        filler.depth = static_cast<std::uint8_t>(depth);
        filler.end = CellEnd::Row;
        ++cells;
        const auto it = paragraphs.insert(paragraphs.begin() + static_cast<std::ptrdiff_t>(at), std::move(filler));
        attachRow(*it, depth);
    }
    cells = 0;
    m_flow.openDepth = depth - 1;
}

// The row's cell layout, as many cells as the row has.
void RtfReader::attachRow(Paragraph& last, int depth)
{
    const auto count = static_cast<std::size_t>(std::max(m_flow.cells[static_cast<std::size_t>(depth)], 1));
    m_doc.rows.push_back(TableRow{FittedCells(depth == 1 ? m_flow.rowCells : m_flow.nestCells, count)});
    last.row = static_cast<std::uint32_t>(m_doc.rows.size());
}

} // namespace quillory::rtf::detail
