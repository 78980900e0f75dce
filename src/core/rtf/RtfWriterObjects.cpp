#include "core/rtf/RtfWriter.h"

// Tables, lists, pictures, hyperlink fields and notes.
namespace quillory::rtf::detail {

namespace {

using namespace std::literals;

int formatOf(ListKind kind) noexcept
{
    switch (kind) {
    case ListKind::None:
        return 255;
    case ListKind::Bullet:
        return 23;
    case ListKind::Decimal:
        return 0;
    case ListKind::UpperRoman:
        return 1;
    case ListKind::LowerRoman:
        return 2;
    case ListKind::UpperLetter:
        return 3;
    case ListKind::LowerLetter:
        return 4;
    }
    return 0;
}

std::string_view kindWord(PictureKind kind) noexcept
{
    switch (kind) {
    case PictureKind::Png:
        return "\\pngblip"sv;
    case PictureKind::Jpeg:
        return "\\jpegblip"sv;
    case PictureKind::Emf:
        return "\\emfblip"sv;
    case PictureKind::Wmf:
        return "\\wmetafile"sv;
    case PictureKind::MacPict:
        return "\\macpict"sv;
    case PictureKind::Dib:
        return "\\dibitmap"sv;
    case PictureKind::Bitmap:
        return "\\wbitmap"sv;
    case PictureKind::Os2Metafile:
        return "\\pmmetafile"sv;
    case PictureKind::Unknown:
        break;
    }
    return {};
}

bool kindHasParam(PictureKind kind) noexcept
{
    return kind == PictureKind::Wmf || kind == PictureKind::Dib || kind == PictureKind::Bitmap ||
           kind == PictureKind::Os2Metafile;
}

} // namespace

bool RtfWriter::validList(const Paragraph& p) const noexcept
{
    return p.list != 0 && p.list <= m_doc.lists.size() && !m_doc.lists[p.list - 1u].levels.empty();
}

// Every list of the document, each with an override of the same number, which its paragraphs name.
void RtfWriter::listTables()
{
    m_out += "{\\*\\listtable"sv;
    for (std::size_t i = 0; i < m_doc.lists.size(); ++i) {
        m_out += "\r\n{\\list\\listtemplateid"sv;
        number(static_cast<int>(i + 1));
        m_out += "\\listhybrid"sv;
        const std::vector<ListLevel>& levels = m_doc.lists[i].levels;
        for (std::size_t level = 0; level < levels.size(); ++level) {
            const int format = formatOf(levels[level].kind);
            m_out += "{\\listlevel\\levelnfc"sv;
            number(format);
            m_out += "\\levelnfcn"sv;
            number(format);
            m_out += "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat"sv;
            number(levels[level].start);
            if (levels[level].kind == ListKind::Bullet) {
                m_out += "{\\leveltext\\'01\\u"sv;
                // \u takes a signed 16-bit number.
                number(static_cast<std::int16_t>(levels[level].bullet));
                m_out += " ?;}{\\levelnumbers;}"sv;
            } else if (levels[level].kind == ListKind::None) {
                m_out += "{\\leveltext\\'00;}{\\levelnumbers;}"sv;
            } else {
                // "%n." with the placeholder of this level.
                static constexpr char kHex[] = "0123456789abcdef";
                const auto placeholder = static_cast<unsigned>(std::min<std::size_t>(level, 255));
                m_out += "{\\leveltext\\'02\\'"sv;
                m_out += kHex[placeholder >> 4];
                m_out += kHex[placeholder & 0xF];
                m_out += ".;}{\\levelnumbers\\'01;}"sv;
            }
            m_out += "\\fi-360\\li"sv;
            number(static_cast<int>(std::min<std::size_t>(level, 1000) + 1) * 720);
            m_out += '}';
        }
        m_out += "\\listid"sv;
        number(static_cast<int>(i + 1));
        m_out += '}';
    }
    m_out += "}\r\n{\\*\\listoverridetable"sv;
    for (std::size_t i = 0; i < m_doc.lists.size(); ++i) {
        m_out += "{\\listoverride\\listid"sv;
        number(static_cast<int>(i + 1));
        m_out += "\\listoverridecount0\\ls"sv;
        number(static_cast<int>(i + 1));
        m_out += '}';
    }
    m_out += "}\r\n"sv;
    m_delimit = false;
}

// The layout of a row of the page's tables, before its first paragraph, as other readers want it.
void RtfWriter::rowStart(const std::vector<Paragraph>& paragraphs, std::size_t first)
{
    std::size_t cells = 0;
    const Paragraph* last = nullptr;
    for (std::size_t i = first; i < paragraphs.size() && paragraphs[i].depth != 0; ++i) {
        const Paragraph& p = paragraphs[i];
        if (p.depth != 1 || p.end == CellEnd::None)
            continue;
        ++cells;
        if (p.end == CellEnd::Row) {
            last = &p;
            break;
        }
    }
    m_out += "\\trowd"sv;
    cellsOf(last, cells);
    m_out += "\r\n"sv;
    m_delimit = false;
}

void RtfWriter::cellsOf(const Paragraph* last, std::size_t count)
{
    static const std::vector<TableCell> kNone;
    const std::vector<TableCell>& cells =
        last != nullptr && last->row != 0 && last->row <= m_doc.rows.size() ? m_doc.rows[last->row - 1u].cells : kNone;
    for (const TableCell& cell : FittedCells(cells, std::max<std::size_t>(count, 1))) {
        if (cell.borders)
            m_out +=
                "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10"sv;
        m_out += "\\cellx"sv;
        number(cell.right);
    }
}

void RtfWriter::paragraphEnd(const Paragraph& p, const Paragraph* previous, bool lastOfNote)
{
    const int depth = std::min<int>(p.depth, 15);
    if (depth == 0 || p.end == CellEnd::None) {
        if (!lastOfNote)
            word("\\par");
    } else {
        // Readers end a cell with the paragraph before an empty one that \cell ends (pandoc writes
        // "text\par\cell"): an empty last paragraph is ended with \par of its own first.
        const bool empty = std::all_of(p.runs.begin(), p.runs.end(), [](const Run& r) { return r.text.empty(); });
        if (empty && previous != nullptr && previous->depth == p.depth && previous->end == CellEnd::None)
            word("\\par");
        int& cells = m_cells[static_cast<std::size_t>(depth)];
        ++cells;
        if (p.end == CellEnd::Cell) {
            word(depth == 1 ? "\\cell" : "\\nestcell");
        } else if (depth == 1) {
            word("\\cell\\row");
        } else {
            word("\\nestcell");
            m_out += "{\\*\\nesttableprops\\trowd"sv;
            cellsOf(&p, static_cast<std::size_t>(cells));
            m_out += "\\nestrow}{\\nonesttables\\par}"sv;
        }
        if (p.end == CellEnd::Row)
            cells = 0;
    }
    if (!lastOfNote)
        m_out += "\r\n"sv;
    m_delimit = false;
}

// A HYPERLINK field whose result holds the link's runs; the group restores the format around it.
void RtfWriter::openLink(std::uint32_t link)
{
    std::u16string instruction;
    for (const char16_t c : m_doc.links[link - 1u]) {
        if (c == u'\\' || c == u'"')
            instruction += u'\\';
        instruction += c;
    }
    m_out += "{\\field{\\*\\fldinst{HYPERLINK \""sv;
    escaped(instruction, false);
    m_out += "\"}}{\\fldrslt{"sv;
    m_delimit = false;
    m_stateBeforeLink = m_state;
    m_link = link;
}

void RtfWriter::closeLink()
{
    if (m_link == 0)
        return;
    m_out += "}}}"sv;
    m_state = m_stateBeforeLink;
    m_link = 0;
    m_delimit = false;
}

void RtfWriter::picture(const Picture& picture)
{
    m_out += "{\\pict"sv;
    m_out += kindWord(picture.kind);
    if (kindHasParam(picture.kind))
        number(picture.kindParam);
    m_out += "\\picw"sv;
    number(picture.width);
    m_out += "\\pich"sv;
    number(picture.height);
    if (picture.goalWidth > 0) {
        m_out += "\\picwgoal"sv;
        number(picture.goalWidth);
    }
    if (picture.goalHeight > 0) {
        m_out += "\\pichgoal"sv;
        number(picture.goalHeight);
    }
    if (picture.scaleX != 100) {
        m_out += "\\picscalex"sv;
        number(picture.scaleX);
    }
    if (picture.scaleY != 100) {
        m_out += "\\picscaley"sv;
        number(picture.scaleY);
    }
    // Hex in lines of 64 bytes, written in slices so the room made stays near what is written.
    static constexpr char kHex[] = "0123456789abcdef";
    constexpr std::size_t kLine = 64;
    constexpr std::size_t kSlice = kLine * 1024;
    const std::string& data = picture.data;
    for (std::size_t start = 0; start < data.size(); start += kSlice) {
        const std::size_t end = std::min(data.size(), start + kSlice);
        char* p = m_out.room((end - start) * 2 + ((end - start) / kLine + 1) * 2);
        for (std::size_t i = start; i < end; ++i) {
            if (i % kLine == 0) {
                *p++ = '\r';
                *p++ = '\n';
            }
            const auto byte = static_cast<unsigned char>(data[i]);
            *p++ = kHex[byte >> 4];
            *p++ = kHex[byte & 0xF];
        }
        m_out.commit(p);
    }
    m_out += '}';
    m_delimit = false;
}

// The reference mark and the note's paragraphs in its group, after which the format is the one
// around it again.
void RtfWriter::note(const Note& note)
{
    m_out += "{\\super\\chftn}{\\footnote"sv;
    m_delimit = true;
    if (note.endnote)
        word("\\ftnalt");
    const WriterFormat outer = m_state;
    ++m_noteDepth;
    m_noteMark = true;
    flow(note.paragraphs);
    m_noteMark = false;
    --m_noteDepth;
    m_out += '}';
    m_state = outer;
    m_delimit = false;
}

} // namespace quillory::rtf::detail
