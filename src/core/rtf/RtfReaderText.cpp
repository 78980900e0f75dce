#include "core/rtf/RtfReader.h"

#include "core/rtf/DbcsTable.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <utility>

// Text: bytes and units into the current flow (the page or a note), and its paragraphs.
namespace quillory::rtf::detail {

namespace {

int hexValue(unsigned char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

enum CharClass : std::uint8_t { kPlain, kSpecial, kControl, kHigh };

constexpr auto kClass = [] {
    std::array<CharClass, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = c < 0x20 ? kControl : c >= 0x80 ? kHigh : kPlain;
    for (unsigned char c : {'\\', '{', '}', '\r', '\n'})
        table[c] = kSpecial;
    return table;
}();

// The end of the plain ASCII text starting at `pos`: eight bytes at a time while none of them is a
// brace, a backslash, a control character or above 0x7F.
std::size_t plainEnd(const char* data, std::size_t pos, std::size_t n) noexcept
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const auto hasZero = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighs; };
    while (pos + 8 <= n) {
        std::uint64_t w;
        std::memcpy(&w, data + pos, 8);
        const std::uint64_t stop = ((w - 0x20 * kOnes) & ~w & kHighs) | (w & kHighs) | hasZero(w ^ ('\\' * kOnes)) |
                                   hasZero(w ^ ('{' * kOnes)) | hasZero(w ^ ('}' * kOnes));
        if (stop != 0) {
            // Borrows only run upwards, so the lowest flagged byte is the first that stops.
            if constexpr (std::endian::native == std::endian::little)
                return pos + static_cast<std::size_t>(std::countr_zero(stop)) / 8;
            break;
        }
        pos += 8;
    }
    while (pos < n && kClass[static_cast<unsigned char>(data[pos])] == kPlain)
        ++pos;
    return pos;
}

} // namespace

// Plain bytes up to the next brace, backslash or line end.
void RtfReader::text()
{
    const std::size_t n = m_in.size();
    const Group& g = group();
    m_ignorable = false;
    m_groupFresh = false;
    switch (g.dest) {
    case Dest::Body:
        bodyText();
        return;
    case Dest::FontTable:
        fontText();
        return;
    case Dest::Marker:
    case Dest::LevelText:
    case Dest::FieldInst:
    case Dest::ShapeName:
        collectText();
        return;
    case Dest::Picture:
        pictureText();
        return;
    case Dest::ColourTable:
        while (m_pos < n && kClass[static_cast<unsigned char>(m_in[m_pos])] != kSpecial) {
            if (m_skipUnits > 0)
                --m_skipUnits;
            else if (m_in[m_pos] == ';')
                addColour();
            ++m_pos;
        }
        return;
    default:
        break;
    }
    m_skipUnits = 0;
    m_lead = 0;
    while (m_pos < n && kClass[static_cast<unsigned char>(m_in[m_pos])] != kSpecial)
        ++m_pos;
}

void RtfReader::bodyText()
{
    const std::size_t n = m_in.size();
    const char* data = m_in.data();
    while (m_pos < n) {
        const auto c = static_cast<unsigned char>(data[m_pos]);
        const CharClass cls = kClass[c];
        if (cls == kSpecial)
            return;
        if (m_skipUnits > 0) {
            --m_skipUnits;
            ++m_pos;
            continue;
        }
        if (cls == kPlain && m_lead == 0) {
            const std::size_t end = plainEnd(data, m_pos + 1, n);
            appendAscii(data + m_pos, end - m_pos);
            m_pos = end;
            continue;
        }
        ++m_pos;
        if (cls == kControl) {
            if (c == '\t')
                unitOut(u'\t');
        } else {
            byteOut(c);
        }
    }
}

void RtfReader::fontText()
{
    const std::size_t n = m_in.size();
    while (m_pos < n) {
        const auto c = static_cast<unsigned char>(m_in[m_pos]);
        const CharClass cls = kClass[c];
        if (cls == kSpecial)
            return;
        ++m_pos;
        if (m_skipUnits > 0) {
            --m_skipUnits;
        } else if (c == ';' && m_lead == 0) {
            finishFontName();
        } else if (cls == kPlain || cls == kHigh) {
            byteOut(c);
        }
    }
}

void RtfReader::collectText()
{
    while (m_pos < m_in.size() && kClass[static_cast<unsigned char>(m_in[m_pos])] != kSpecial) {
        const auto c = static_cast<unsigned char>(m_in[m_pos++]);
        if (m_skipUnits > 0)
            --m_skipUnits;
        else if (c >= 0x20)
            byteOut(c);
    }
}

// A byte of text in the current code page (\'hh or an 8-bit character).
void RtfReader::byteOut(unsigned char b)
{
    if (m_lead != 0) {
        const DbcsTable* table = DbcsTable::forCodePage(m_leadCp);
        const char16_t u = table != nullptr ? table->decode(m_lead, b) : u'\uFFFD';
        m_lead = 0;
        unitOut(u);
        return;
    }
    if (b < 0x80) {
        unitOut(b);
        return;
    }
    const CodePage& cp = codePage();
    if (IsLeadByte(cp.number, b)) {
        m_lead = b;
        m_leadCp = cp.number;
        return;
    }
    unitOut(cp.high[b - 0x80]);
}

// The code page of the current font, remembered while fonts and \ansicpg stay the same.
const CodePage& RtfReader::codePage()
{
    const Group& g = group();
    int number = 0;
    if (g.dest == Dest::FontTable) {
        number = m_font >= 0 ? m_fonts[static_cast<std::size_t>(m_font)].codePage : 0;
    } else {
        const int font = g.ch.font < 0 ? m_deff : g.ch.font;
        if (font == m_cpMemoFont && m_cpMemoGeneration == m_generation)
            return m_cp;
        m_cpMemoFont = font;
        m_cpMemoGeneration = m_generation;
        const Font* entry = fontOf(font);
        number = entry != nullptr ? entry->codePage : 0;
    }
    if (number == 0)
        number = m_ansiCp;
    if (number != m_cp.number)
        m_cp = CodePage{number, highHalf(number)};
    if (g.dest == Dest::FontTable)
        m_cpMemoFont = std::numeric_limits<int>::min();
    return m_cp;
}

// One UTF-16 unit of text for the current destination.
void RtfReader::unitOut(char16_t u)
{
    const Group& g = group();
    switch (g.dest) {
    case Dest::Body:
        break;
    case Dest::FontTable:
        if (m_font >= 0 && !m_fontNameDone) {
            std::u16string& name = m_fonts[static_cast<std::size_t>(m_font)].name;
            if (name.size() < kMaxFontName && !(name.empty() && u == u' ')) {
                name.push_back(u);
                ++m_generation;
            }
        }
        return;
    case Dest::Marker:
        if (m_marker.size() < 16)
            m_marker.push_back(u);
        return;
    case Dest::LevelText:
        levelText(u);
        return;
    case Dest::FieldInst:
    case Dest::ShapeName:
        if (m_collected.size() < kMaxFieldInstruction)
            m_collected.push_back(u);
        return;
    default:
        return;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
        if (m_flow.high != 0)
            put(u'\uFFFD');
        m_flow.high = u;
        return;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
        if (m_flow.high != 0) {
            put(m_flow.high);
            m_flow.high = 0;
            put(u);
        } else {
            put(u'\uFFFD');
        }
        return;
    }
    resolveHigh();
    put(u);
}

void RtfReader::resolveHigh()
{
    if (m_flow.high != 0) {
        m_flow.high = 0;
        put(u'\uFFFD');
    }
}

void RtfReader::put(char16_t u)
{
    if (m_flow.formatDirty)
        ensureRun();
    m_flow.text.push_back(u);
}

void RtfReader::appendAscii(const char* p, std::size_t count)
{
    resolveHigh();
    if (m_flow.formatDirty)
        ensureRun();
    char16_t* out = m_flow.text.extend(count);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) // a fixed width the compiler widens in one go
        for (std::size_t k = 0; k < 8; ++k)
            out[i + k] = static_cast<unsigned char>(p[i + k]);
    for (; i < count; ++i)
        out[i] = static_cast<unsigned char>(p[i]);
}
bool RtfReader::paragraphEmpty() const noexcept
{
    return m_flow.runs.empty() && m_flow.text.empty();
}

// A paragraph's text is gathered in one buffer and its runs made at its end, each of its exact
// size: the model would otherwise hold up to twice the text in spare capacity.
void RtfReader::closeParagraph()
{
    Flow& flow = m_flow;
    std::vector<Run>& runs = paragraph().runs;
    runs.reserve(flow.runs.size());
    for (std::size_t i = 0; i < flow.runs.size(); ++i) {
        const PendingRun& pending = flow.runs[i];
        const std::size_t end = i + 1 < flow.runs.size() ? flow.runs[i + 1].start : flow.text.size();
        runs.push_back(Run{std::u16string(flow.text.data() + pending.start, end - pending.start),
                           m_formats[pending.format], pending.picture, pending.note});
    }
    flow.runs.clear();
    flow.text.clear();
    flow.formatDirty = true;
}

// Ends the paragraph being read: with \par, or as the end of a table cell. A cell whose text ended
// with \par (as pandoc writes cells) ends with that paragraph rather than with an empty one.
void RtfReader::endParagraph(CellEnd end, int depth)
{
    flushLead();
    resolveHigh();
    std::vector<Paragraph>& paragraphs = *m_flow.paragraphs;
    if (depth < 0)
        depth = group().para.depth;
    depth = std::min(depth, kMaxTableDepth);
    // A row past its cap goes on in its last cell.
    if (end == CellEnd::Cell && depth > 0 && m_flow.cells[static_cast<std::size_t>(depth)] >= kMaxRowCells - 1)
        end = CellEnd::None;
    if (end == CellEnd::Cell && paragraphEmpty() && paragraphs.size() >= 2) {
        Paragraph& before = paragraphs[paragraphs.size() - 2];
        if (before.depth == depth && before.end == CellEnd::None && m_flow.openDepth >= depth) {
            before.end = CellEnd::Cell;
            ++m_flow.cells[static_cast<std::size_t>(depth)];
            return;
        }
    }
    closeParagraph();
    Paragraph& p = paragraph();
    applyParagraphState(p);
    m_flow.markerSeen = false;
    p.depth = static_cast<std::uint8_t>(depth);
    p.end = depth > 0 ? end : CellEnd::None;
    closeRowsAbove(depth, true);
    m_flow.openDepth = std::max(m_flow.openDepth, depth);
    if (end == CellEnd::Cell && depth > 0)
        ++m_flow.cells[static_cast<std::size_t>(depth)];
    paragraphs.emplace_back();
}

// The end of the page or of a note: the last paragraph is kept when it has text or is the only
// one, and tables still open end with it. `last` is the paragraph state at the end.
void RtfReader::finishFlow(const ParaState& last)
{
    flushLead();
    resolveHigh();
    closeParagraph();
    std::vector<Paragraph>& paragraphs = *m_flow.paragraphs;
    if (paragraphs.size() > 1 && paragraphs.back().runs.empty()) {
        paragraphs.pop_back();
    } else {
        if (paragraphs.back().runs.empty()) {
            paragraphs.back().alignment = last.alignment;
            paragraphs.back().depth = last.depth;
            applyNumbering(last, paragraphs.back());
        }
        const int depth = paragraphs.back().depth;
        closeRowsAbove(depth, true);
        m_flow.openDepth = std::max(m_flow.openDepth, depth);
    }
    closeRowsAbove(0, false);
}

void RtfReader::symbol(unsigned char c)
{
    if (c == '\'') {
        int byte = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_in.size()) {
            const int v = hexValue(static_cast<unsigned char>(m_in[m_pos]));
            if (v < 0)
                break;
            byte = byte * 16 + v;
            ++digits;
            ++m_pos;
        }
        if (m_skipUnits > 0) {
            --m_skipUnits;
            return;
        }
        m_ignorable = false;
        m_groupFresh = false;
        if (digits > 0)
            byteOut(static_cast<unsigned char>(byte));
        return;
    }
    flushLead();
    if (m_skipUnits > 0) {
        --m_skipUnits;
        return;
    }
    // Older office suites write \* after other words ({\loch\f2\*\cs7 text}): there it marks
    // nothing, and the group's text is kept.
    if (c == '*') {
        m_ignorable = std::exchange(m_groupFresh, false);
        return;
    }
    m_groupFresh = false;
    m_ignorable = false;
    switch (c) {
    case '\\':
    case '{':
    case '}':
    case '[':
    case ']':
        unitOut(c);
        break;
    case '~':
        unitOut(u'\u00A0');
        break;
    case '-':
        unitOut(u'\u00AD');
        break;
    case '_':
        unitOut(u'\u2011');
        break;
    case '\t':
        unitOut(u'\t');
        break;
    case '\r':
    case '\n':
        if (group().dest == Dest::Body)
            endParagraph();
        break;
    default:
        break;
    }
}

} // namespace quillory::rtf::detail
