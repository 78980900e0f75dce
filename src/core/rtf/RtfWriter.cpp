#include "core/rtf/RtfWriter.h"

#include "core/rtf/Rtf.h"
#include "core/text/TextDecoder.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace quillory::rtf {

namespace detail {

namespace {

using namespace std::literals;

// Named in the font table when no run names a font; \deff0 needs an entry.
constexpr std::u16string_view kFallbackFont = u"Calibri";
constexpr int kMaxHalfPoints = 32767;

bool isSystemColour(Colour c) noexcept
{
    return (c & 0x80000000u) != 0;
}

int halfPointsOf(double points) noexcept
{
    if (!(points > 0))
        return 0;
    const double half = std::round(points * 2);
    return half >= kMaxHalfPoints ? kMaxHalfPoints : static_cast<int>(half);
}

// Which ASCII characters are written as they are.
constexpr auto kPlain = [] {
    std::array<bool, 128> plain{};
    for (int c = 0x20; c < 0x7F; ++c)
        plain[static_cast<std::size_t>(c)] = c != '\\' && c != '{' && c != '}';
    return plain;
}();

// The longest a unit can become: "\\u-32768?", or a delimiter and "\\line".
constexpr std::size_t kMaxPerUnit = 10;

// \'hh for Windows-1252, \uN? otherwise; returns the end of what was written.
char* escape(char* p, char16_t u)
{
    const int byte = u >= 0xA0 && u <= 0xFF ? u : u >= 0x20 ? UnicodeToCp1252(u) : -1;
    *p++ = '\\';
    if (byte >= 0) {
        static constexpr char kHex[] = "0123456789abcdef";
        *p++ = '\'';
        *p++ = kHex[byte >> 4];
        *p++ = kHex[byte & 0xF];
    } else {
        *p++ = 'u';
        const int value = u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u);
        p = std::to_chars(p, p + 6, value).ptr;
        *p++ = '?';
    }
    return p;
}

} // namespace

RtfWriter::RtfWriter(const Document& doc) : m_doc(doc), m_out(expectedSize(doc))
{
}

std::string RtfWriter::write()
{
    collectTables();

    m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl"sv;
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        m_out += "{\\f"sv;
        number(static_cast<int>(i));
        m_out += "\\fnil\\fcharset0 "sv;
        fontName(m_fonts[i]);
        m_out += ";}"sv;
    }
    if (m_symbolFont >= 0) {
        m_out += "{\\f"sv;
        number(m_symbolFont);
        m_out += "\\fnil\\fcharset2 Symbol;}"sv;
    }
    m_out += "}\r\n"sv;
    if (!m_colours.empty()) {
        m_out += "{\\colortbl ;"sv;
        for (const Colour c : m_colours) {
            m_out += "\\red"sv;
            number(static_cast<int>(c & 0xFF));
            m_out += "\\green"sv;
            number(static_cast<int>((c >> 8) & 0xFF));
            m_out += "\\blue"sv;
            number(static_cast<int>((c >> 16) & 0xFF));
            m_out += ';';
        }
        m_out += "}\r\n"sv;
    }
    if (m_lists)
        listTables();
    m_out += "\\viewkind4\\uc1 \r\n"sv;

    if (m_doc.paragraphs.empty())
        m_out += "\\pard\\par\r\n"sv;
    else
        flow(m_doc.paragraphs);
    m_out += "}\r\n"sv;
    return m_out.take();
}

std::size_t RtfWriter::expectedSize(const Document& doc)
{
    std::size_t size = 256;
    for (const Paragraph& p : doc.paragraphs)
        for (const Run& r : p.runs)
            size += r.text.size() + 16;
    for (const Picture& picture : doc.pictures)
        size += picture.data.size() * 2 + picture.data.size() / 32 + 128;
    return size + size / 8;
}

void RtfWriter::collectTables()
{
    std::unordered_map<Colour, int> colours;
    collect(m_doc.paragraphs, colours);
    for (const Note& note : m_doc.notes)
        collect(note.paragraphs, colours);
    if (m_fonts.empty())
        m_fonts.emplace_back(kFallbackFont);
    if (m_symbolFont >= 0) // numbered after the fonts the runs name
        m_symbolFont = static_cast<int>(m_fonts.size());
    m_colourIndex = std::move(colours);
}

void RtfWriter::collect(const std::vector<Paragraph>& paragraphs, std::unordered_map<Colour, int>& colours)
{
    for (const Paragraph& p : paragraphs) {
        const bool listed = validList(p);
        m_lists = m_lists || listed;
        if (!listed && p.numbering == Numbering::Bullet)
            m_symbolFont = 0;
        for (const Run& r : p.runs) {
            if (r.text.empty())
                continue;
            // Neighbouring runs mostly share font and colour; the maps need not see them again.
            if ((m_fonts.empty() || r.format.font != m_fonts.back()) &&
                m_fontIndex.emplace(r.format.font, static_cast<int>(m_fonts.size())).second)
                m_fonts.push_back(r.format.font);
            if (!isSystemColour(r.format.colour) && (m_colours.empty() || r.format.colour != m_colours.back()) &&
                colours.emplace(r.format.colour, static_cast<int>(m_colours.size()) + 1).second)
                m_colours.push_back(r.format.colour);
        }
    }
}

// Paragraphs of the page or of a note. A note has its own rows and numbering, and its last
// paragraph needs no \par.
void RtfWriter::flow(const std::vector<Paragraph>& paragraphs)
{
    const bool outerRowOpen = m_rowOpen;
    std::vector<int> outerCells = std::move(m_cells);
    m_rowOpen = false;
    m_cells.assign(16, 0);
    const std::vector<ListItem> items = ListItems(paragraphs, m_doc.lists);
    const Paragraph* previous = nullptr;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const Paragraph& p = paragraphs[i];
        if (p.depth == 0) {
            m_rowOpen = false;
        } else if (!m_rowOpen) {
            rowStart(paragraphs, i);
            m_rowOpen = true;
        }
        paragraphStart(p, previous, items[i]);
        runs(p);
        closeLink();
        // A note's last paragraph ends with the note's group, but one that is empty and not the
        // note's only paragraph needs its \par: a reader drops an empty paragraph at a flow's end.
        const bool endsWithNote = m_noteDepth > 0 && i + 1 == paragraphs.size() && !(i > 0 && p.runs.empty());
        paragraphEnd(p, previous, endsWithNote);
        if (p.depth == 1 && p.end == CellEnd::Row)
            m_rowOpen = false;
        previous = &p;
    }
    m_rowOpen = outerRowOpen;
    m_cells = std::move(outerCells);
}

void RtfWriter::paragraphStart(const Paragraph& p, const Paragraph* previous, const ListItem& item)
{
    const bool same = previous != nullptr && previous->alignment == p.alignment && previous->numbering == p.numbering &&
                      previous->list == p.list && previous->level == p.level && previous->depth == p.depth;
    if (same) {
        listMarker(p, item);
        return;
    }
    word("\\pard");
    if (p.depth >= 1)
        word("\\intbl");
    if (p.depth >= 2) {
        word("\\itap");
        number(std::min<int>(p.depth, 15));
    }
    if (validList(p)) {
        listMarker(p, item);
        word("\\ls");
        number(p.list);
        word("\\ilvl");
        number(p.level);
        word("\\fi-360\\li");
        number(720 * (p.level + 1));
    } else if (p.numbering == Numbering::Bullet) {
        pnText(item);
        m_out += "{\\*\\pn\\pnlvlblt\\pnf"sv;
        number(m_symbolFont);
        m_out += "\\pnindent0{\\pntxtb\\'B7}}"sv;
        word("\\fi-360\\li720");
    } else if (p.numbering == Numbering::Other) {
        pnText(item);
        m_out += "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart"sv;
        number(item.number);
        m_out += "\\pndec{\\pntxta.}}"sv;
        word("\\fi-360\\li720");
    }
    switch (p.alignment) {
    case Alignment::Left:
        break;
    case Alignment::Centre:
        word("\\qc");
        break;
    case Alignment::Right:
        word("\\qr");
        break;
    case Alignment::Justified:
        word("\\qj");
        break;
    case Alignment::Other:
        word("\\qd");
        break;
    }
}

// The marker a reader without lists shows: \listtext for lists of the document, \pntext for the
// bullets and numbers the Windows rich-text control writes.
void RtfWriter::listMarker(const Paragraph& p, const ListItem& item)
{
    if (validList(p)) {
        m_out += "{\\listtext\\pard\\plain "sv;
        m_delimit = false;
        text(MarkerText(item));
        m_out += "\\tab}"sv;
        m_delimit = false;
    } else if (p.numbering != Numbering::None) {
        pnText(item);
    }
}

void RtfWriter::pnText(const ListItem& item)
{
    if (item.kind == ListKind::Bullet) {
        m_out += "{\\pntext\\f"sv;
        number(m_symbolFont);
        m_out += "\\'B7\\tab}"sv;
    } else {
        m_out += "{\\pntext\\f0 "sv;
        number(item.number);
        m_out += ".\\tab}"sv;
    }
    m_delimit = false;
}

void RtfWriter::runs(const Paragraph& p)
{
    if (m_noteMark) {
        m_out += "{\\super\\chftn}"sv;
        m_noteMark = false;
        m_delimit = false;
    }
    for (const Run& r : p.runs) {
        if (r.text.empty())
            continue;
        const bool isNote = r.note != 0 && r.note <= m_doc.notes.size() && m_noteDepth == 0;
        const std::uint32_t link = r.format.link <= m_doc.links.size() && !isNote ? r.format.link : 0;
        if (link != m_link) {
            closeLink();
            if (link != 0)
                openLink(link);
        }
        format(r.format);
        if (r.picture != 0 && r.picture <= m_doc.pictures.size())
            picture(m_doc.pictures[r.picture - 1u]);
        else if (isNote)
            note(m_doc.notes[r.note - 1u]);
        else
            text(r.text);
    }
}

void RtfWriter::format(const CharFormat& f)
{
    WriterFormat want;
    if (m_lastFont == nullptr || *m_lastFont != f.font) {
        m_lastFont = &f.font;
        m_lastFontIndex = m_fontIndex.at(f.font);
    }
    want.font = m_lastFontIndex;
    want.halfPoints = halfPointsOf(f.pointSize);
    if (isSystemColour(f.colour)) {
        want.colour = 0;
    } else {
        if (f.colour != m_lastColour) {
            m_lastColour = f.colour;
            m_lastColourIndex = m_colourIndex.at(f.colour);
        }
        want.colour = m_lastColourIndex;
    }
    want.bold = f.bold;
    want.italic = f.italic;
    want.underline = f.underline;
    want.strike = f.strikeout;
    want.hidden = f.hidden;
    if (want.halfPoints == 0 && m_state.halfPoints != 0) {
        // Only \plain returns to "no size given".
        word("\\plain");
        m_state = WriterFormat{};
    }
    if (want.colour != m_state.colour) {
        word("\\cf");
        number(want.colour);
    }
    if (want.bold != m_state.bold)
        word(want.bold ? "\\b" : "\\b0");
    if (want.italic != m_state.italic)
        word(want.italic ? "\\i" : "\\i0");
    if (want.underline != m_state.underline)
        word(want.underline ? "\\ul" : "\\ulnone");
    if (want.strike != m_state.strike)
        word(want.strike ? "\\strike" : "\\strike0");
    if (want.hidden != m_state.hidden)
        word(want.hidden ? "\\v" : "\\v0");
    if (want.font != m_state.font) {
        word("\\f");
        number(want.font);
    }
    if (want.halfPoints != m_state.halfPoints) {
        word("\\fs");
        number(want.halfPoints);
    }
    m_state = want;
}

void RtfWriter::text(std::u16string_view s)
{
    bool delimit = m_delimit;
    // In slices, so that the room made never much exceeds what is written.
    for (std::size_t start = 0; start < s.size(); start += 4096) {
        const std::u16string_view slice = s.substr(start, 4096);
        char* p = m_out.room(slice.size() * kMaxPerUnit);
        for (std::size_t i = 0; i < slice.size();) {
            const char16_t u = slice[i];
            if (u < 0x80 && kPlain[u]) {
                if (delimit) {
                    *p++ = ' ';
                    delimit = false;
                }
                // The common case, plain text, in a loop of its own.
                do
                    *p++ = static_cast<char>(slice[i++]);
                while (i < slice.size() && slice[i] < 0x80 && kPlain[slice[i]]);
                continue;
            }
            ++i;
            if (u == u'\\' || u == u'{' || u == u'}') {
                *p++ = '\\';
                *p++ = static_cast<char>(u);
                delimit = false;
            } else if (u == u'\t') {
                p = std::copy_n("\\tab", 4, p);
                delimit = true;
            } else if (u == u'\v') {
                p = std::copy_n("\\line", 5, p);
                delimit = true;
            } else if (u == 0x7F) {
                if (delimit)
                    *p++ = ' ';
                *p++ = static_cast<char>(u);
                delimit = false;
            } else {
                p = escape(p, u);
                delimit = false;
            }
        }
        m_out.commit(p);
    }
    m_delimit = delimit;
}

void RtfWriter::fontName(std::u16string_view s)
{
    escaped(s, true);
}

// Text of a table entry or a field instruction: every character that is not plain ASCII escaped.
void RtfWriter::escaped(std::u16string_view s, bool semicolons)
{
    for (const char16_t u : s) {
        char* p = m_out.room(kMaxPerUnit);
        if (u == u'\\' || u == u'{' || u == u'}') {
            *p++ = '\\';
            *p++ = static_cast<char>(u);
        } else if ((semicolons && u == u';') || u < 0x20 || u >= 0x7F) {
            p = escape(p, u);
        } else {
            *p++ = static_cast<char>(u);
        }
        m_out.commit(p);
    }
    m_delimit = false;
}

void RtfWriter::word(std::string_view w)
{
    m_out += w;
    m_delimit = true;
}

void RtfWriter::number(int value)
{
    char* p = m_out.room(12);
    m_out.commit(std::to_chars(p, p + 12, value).ptr);
    m_delimit = true;
}

} // namespace detail

std::string WriteRtf(const Document& doc)
{
    return detail::RtfWriter(doc).write();
}

} // namespace quillory::rtf
