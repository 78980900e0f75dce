#include "core/rtf/RtfReader.h"

#include <utility>

#include "core/rtf/Rtf.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quillory::rtf {

namespace detail {

namespace {

bool isLetter(unsigned char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c) noexcept
{
    return c >= '0' && c <= '9';
}

bool opensDestination(Keyword k) noexcept
{
    switch (k) {
    case Keyword::SkipDestination:
    case Keyword::Fonttbl:
    case Keyword::Colortbl:
    case Keyword::Listtable:
    case Keyword::Listoverridetable:
    case Keyword::Pn:
    case Keyword::Pntext:
    case Keyword::Listtext:
    case Keyword::Leveltext:
    case Keyword::Fldinst:
    case Keyword::Fldrslt:
    case Keyword::Upr:
    case Keyword::Ud:
    case Keyword::Nesttableprops:
    case Keyword::Pict:
    case Keyword::Shppict:
    case Keyword::Shp:
    case Keyword::Shpinst:
    case Keyword::Sp:
    case Keyword::Sn:
    case Keyword::Sv:
    case Keyword::Footnote:
        return true;
    default:
        return false;
    }
}

} // namespace

RtfReader::RtfReader(std::string_view in) : m_in(in), m_cp{kCodePageAnsi, highHalf(kCodePageAnsi)}
{
    m_flow.paragraphs = &m_doc.paragraphs;
}

Document RtfReader::read()
{
    m_lastBrace = m_in.rfind('}');
    m_stack.emplace_back();
    m_doc.paragraphs.emplace_back();
    const std::size_t n = m_in.size();
    while (m_pos < n) {
        switch (static_cast<unsigned char>(m_in[m_pos])) {
        case '{':
            ++m_pos;
            openGroup();
            break;
        case '}':
            ++m_pos;
            closeGroup();
            break;
        case '\\':
            control();
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default:
            text();
            break;
        }
    }
    return finish();
}

void RtfReader::openGroup()
{
    flushLead();
    m_skipUnits = 0;
    m_ignorable = false;
    m_groupFresh = true;
    if (m_stack.size() >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_stack.back());
    m_stack.back().closes = 0;
}

// Text after the outermost group has closed is read on (a stray brace in a damaged file, pages
// written one after another), in the state outside every group, but not what follows the file's
// last closing brace: writers leave line ends, NULs and signatures there.
void RtfReader::closeGroup()
{
    flushLead();
    m_skipUnits = 0;
    m_ignorable = false;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.size() > 1)
        popGroup();
    if (m_stack.size() == 1 && m_pos > m_lastBrace)
        m_pos = m_in.size();
}

void RtfReader::popGroup()
{
    const Group closed = m_stack.back();
    m_stack.pop_back();
    if (closed.dest == Dest::FontTable)
        finishFontName();
    if ((closed.closes & kClosesPn) != 0)
        group().para.pn = closed.para.pn;
    if ((closed.closes & kClosesPicture) != 0)
        finishPicture();
    if ((closed.closes & kClosesShape) != 0)
        m_inShape = false;
    if ((closed.closes & kClosesNote) != 0)
        finishNote(closed.para);
    if (!(closed.ch == group().ch))
        m_flow.formatDirty = true;
}

void RtfReader::control()
{
    const std::size_t n = m_in.size();
    ++m_pos;
    if (m_pos >= n)
        return;
    const auto c = static_cast<unsigned char>(m_in[m_pos]);
    if (!isLetter(c)) {
        ++m_pos;
        symbol(c);
        return;
    }
    const std::size_t start = m_pos;
    while (m_pos < n && isLetter(static_cast<unsigned char>(m_in[m_pos])))
        ++m_pos;
    const std::string_view word = m_in.substr(start, std::min<std::size_t>(m_pos - start, 32));
    bool hasParam = false;
    bool negative = false;
    std::int64_t value = 0;
    if (m_pos + 1 < n && m_in[m_pos] == '-' && isDigit(static_cast<unsigned char>(m_in[m_pos + 1]))) {
        negative = true;
        ++m_pos;
    }
    while (m_pos < n && isDigit(static_cast<unsigned char>(m_in[m_pos]))) {
        hasParam = true;
        if (value <= std::numeric_limits<std::int32_t>::max())
            value = value * 10 + (m_in[m_pos] - '0');
        ++m_pos;
    }
    if (m_pos < n && m_in[m_pos] == ' ')
        ++m_pos;
    if (negative)
        value = -value;
    value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
    controlWord(LookupKeyword(word), hasParam, static_cast<int>(value));
}

void RtfReader::controlWord(Keyword k, bool hasParam, int param)
{
    flushLead();
    m_groupFresh = false;
    if (m_skipUnits > 0) {
        --m_skipUnits;
        if (k == Keyword::Bin)
            skipBinary(param);
        return;
    }
    Group& g = group();
    if (m_ignorable) {
        m_ignorable = false;
        if (!opensDestination(k)) {
            g.dest = Dest::Skip;
            if (k == Keyword::Bin)
                skipBinary(param);
            return;
        }
    }
    if (k == Keyword::Bin) {
        if (g.dest == Dest::Picture)
            pictureBinary(param);
        else
            skipBinary(param);
        return;
    }
    if (g.dest == Dest::Skip)
        return;
    if (g.dest == Dest::Upr) {
        if (k == Keyword::Ud)
            g.dest = g.uprOuter;
        return;
    }
    switch (k) {
    case Keyword::Unknown:
    case Keyword::Ud:
    case Keyword::Bin:
        break;
    case Keyword::SkipDestination:
        g.dest = Dest::Skip;
        break;
    case Keyword::Pntext:
    case Keyword::Listtext:
        g.dest = Dest::Marker;
        m_marker.clear();
        m_flow.markerSeen = true;
        break;
    case Keyword::Upr:
        g.uprOuter = g.dest;
        g.dest = Dest::Upr;
        break;
    case Keyword::Uc:
        g.uc = static_cast<std::uint16_t>(std::clamp(param, 0, 0xFFFF));
        break;
    case Keyword::U:
        unicode(param);
        m_skipUnits = g.uc;
        break;
    case Keyword::Fonttbl:
    case Keyword::Colortbl:
    case Keyword::Ansi:
    case Keyword::Mac:
    case Keyword::Pc:
    case Keyword::Pca:
    case Keyword::Ansicpg:
    case Keyword::Deff:
    case Keyword::F:
    case Keyword::Fcharset:
    case Keyword::Cpg:
    case Keyword::Red:
    case Keyword::Green:
    case Keyword::Blue:
        fontWord(g, k, param);
        break;
    case Keyword::Listtable:
    case Keyword::Listoverridetable:
    case Keyword::List:
    case Keyword::Listlevel:
    case Keyword::Leveltext:
    case Keyword::Levelnfc:
    case Keyword::Levelstartat:
    case Keyword::Listid:
    case Keyword::Listoverride:
    case Keyword::Ls:
    case Keyword::Ilvl:
        listWord(g, k, param);
        break;
    case Keyword::Nesttableprops:
    case Keyword::Intbl:
    case Keyword::Itap:
    case Keyword::Cell:
    case Keyword::Nestcell:
    case Keyword::Row:
    case Keyword::Nestrow:
    case Keyword::Trowd:
    case Keyword::Cellx:
    case Keyword::CellBorder:
    case Keyword::BorderNone:
    case Keyword::BorderStyle:
        tableWord(g, k, param);
        break;
    case Keyword::Field:
    case Keyword::Fldinst:
    case Keyword::Fldrslt:
    case Keyword::Footnote:
    case Keyword::Ftnalt:
        fieldWord(g, k);
        break;
    case Keyword::Pict:
    case Keyword::Shppict:
    case Keyword::Shp:
    case Keyword::Shpinst:
    case Keyword::Sp:
    case Keyword::Sn:
    case Keyword::Sv:
    case Keyword::Pngblip:
    case Keyword::Jpegblip:
    case Keyword::Emfblip:
    case Keyword::Wmetafile:
    case Keyword::Macpict:
    case Keyword::Dibitmap:
    case Keyword::Wbitmap:
    case Keyword::Pmmetafile:
    case Keyword::Picw:
    case Keyword::Pich:
    case Keyword::Picwgoal:
    case Keyword::Pichgoal:
    case Keyword::Picscalex:
    case Keyword::Picscaley:
    case Keyword::Shpleft:
    case Keyword::Shptop:
    case Keyword::Shpright:
    case Keyword::Shpbottom:
        pictureWord(g, k, hasParam, param);
        break;
    case Keyword::Par:
    case Keyword::Sect:
    case Keyword::Page:
    case Keyword::Pard:
    case Keyword::Line:
    case Keyword::Tab:
    case Keyword::Ql:
    case Keyword::Qc:
    case Keyword::Qr:
    case Keyword::Qj:
    case Keyword::Qother:
    case Keyword::Pn:
    case Keyword::Pnlvlblt:
    case Keyword::Pnlvlbody:
    case Keyword::Pnlvl:
    case Keyword::Pnlvlcont:
        paragraphWord(g, k);
        break;
    default:
        formatWord(g, k, hasParam, param);
        break;
    }
}

void RtfReader::skipBinary(int count)
{
    const std::size_t left = m_in.size() - m_pos;
    m_pos += std::min<std::size_t>(left, static_cast<std::size_t>(std::max(count, 0)));
}

void RtfReader::unicode(int param)
{
    const int value = param < 0 ? param + 65536 : param;
    if (value >= 0 && value <= 0xFFFF) {
        unitOut(static_cast<char16_t>(value));
    } else if (value > 0xFFFF && value <= 0x10FFFF) {
        const int v = value - 0x10000;
        unitOut(static_cast<char16_t>(0xD800 + (v >> 10)));
        unitOut(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
        unitOut(u'\uFFFD');
    }
}

Document RtfReader::finish()
{
    while (m_inNote)
        finishNote(group().para);
    finishFlow(group().para);
    // A list or link met only by text that a later \pard or an empty field result took back.
    CompactReferences(m_doc);
    m_doc.paragraphs.shrink_to_fit();
    return std::move(m_doc);
}

} // namespace detail

Document ReadRtf(std::string_view bytes)
{
    return detail::RtfReader(bytes).read();
}

} // namespace quillory::rtf
