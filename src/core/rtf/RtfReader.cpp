#include "core/rtf/RtfReader.h"

#include "core/rtf/DbcsTable.h"
#include "core/rtf/Rtf.h"
#include "core/text/TextDecoder.h"

#include <bit>
#include <utility>

namespace quillory::rtf {

namespace detail {

namespace {

using HighHalf = std::array<char16_t, 128>;

HighHalf cp1252High(bool symbol)
{
    HighHalf h{};
    for (int b = 0x80; b < 0x100; ++b)
        h[static_cast<std::size_t>(b - 0x80)] = Cp1252ToUnicode(static_cast<unsigned char>(b));
    if (symbol)
        h[0xB7 - 0x80] = u'\u2022';
    return h;
}

// The single bytes the Macintosh double-byte pages add to ASCII.
HighHalf macDoubleByteHigh(char16_t at80)
{
    HighHalf h = cp1252High(false);
    h[0] = at80;
    h[0xA0 - 0x80] = u'\u00A0';
    h[0xFD - 0x80] = u'\u00A9';
    h[0xFE - 0x80] = u'\u2122';
    h[0xFF - 0x80] = u'\u2026';
    return h;
}

// Single bytes of every code page; unknown pages and the double-byte pages' single bytes fall back
// to Windows-1252.
const char16_t* highHalf(int cp)
{
    static const HighHalf k1252 = cp1252High(false);
    static const HighHalf kSymbol = cp1252High(true);
    static const auto katakana = [](HighHalf h) {
        for (int b = 0xA1; b <= 0xDF; ++b) // half-width katakana
            h[static_cast<std::size_t>(b - 0x80)] = static_cast<char16_t>(0xFF61 + (b - 0xA1));
        return h;
    };
    static const HighHalf k932 = katakana(cp1252High(false));
    static const HighHalf k10001 = katakana(macDoubleByteHigh(u'\\'));
    static const HighHalf k10002 = macDoubleByteHigh(u'\\');
    static const HighHalf k10008 = macDoubleByteHigh(u'\u00FC');
    switch (cp) {
    case kCodePageSymbol:
        return kSymbol.data();
    case 932:
        return k932.data();
    case 10001:
        return k10001.data();
    case 10002:
        return k10002.data();
    case 10008:
        return k10008.data();
    default:
        break;
    }
    if (const char16_t* high = SingleByteHigh(cp))
        return high;
    return k1252.data();
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

bool isLetter(unsigned char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c) noexcept
{
    return c >= '0' && c <= '9';
}

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

std::u16string_view trimmed(std::u16string_view s) noexcept
{
    const auto first = s.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(u' ') + 1 - first);
}

// CharFormat's ==, but the fields that differ most often first.
bool sameFormat(const CharFormat& a, const CharFormat& b) noexcept
{
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.strikeout == b.strikeout &&
           a.hidden == b.hidden && a.link == b.link && a.colour == b.colour && a.pointSize == b.pointSize &&
           a.font == b.font;
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
        if (digits > 0)
            byteOut(static_cast<unsigned char>(byte));
        return;
    }
    flushLead();
    if (m_skipUnits > 0) {
        --m_skipUnits;
        return;
    }
    if (c == '*') {
        m_ignorable = true;
        return;
    }
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

void RtfReader::controlWord(Keyword k, bool hasParam, int param)
{
    flushLead();
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
    case Keyword::Fldinst:
        if (k == Keyword::Fldinst && g.dest == Dest::Body) {
            g.dest = Dest::FieldInst;
            m_collected.clear();
        } else {
            g.dest = Dest::Skip;
        }
        break;
    case Keyword::Pntext:
    case Keyword::Listtext:
        g.dest = Dest::Marker;
        m_marker.clear();
        break;
    case Keyword::Fonttbl:
        g.dest = Dest::FontTable;
        m_font = -1;
        break;
    case Keyword::Colortbl:
        g.dest = Dest::ColourTable;
        m_colours.clear();
        ++m_generation;
        m_colourGiven = false;
        m_red = m_green = m_blue = 0;
        break;
    case Keyword::Pn:
        g.dest = Dest::Pn;
        g.closes |= kClosesPn;
        g.para.pn = Numbering::Other;
        break;
    case Keyword::Upr:
        g.uprOuter = g.dest;
        g.dest = Dest::Upr;
        break;
    case Keyword::Ansi:
        setAnsiCodePage(kCodePageAnsi);
        break;
    case Keyword::Mac:
        setAnsiCodePage(10000);
        break;
    case Keyword::Pc:
        setAnsiCodePage(437);
        break;
    case Keyword::Pca:
        setAnsiCodePage(850);
        break;
    case Keyword::Ansicpg:
        if (param > 0)
            setAnsiCodePage(param);
        break;
    case Keyword::Deff:
        m_deff = param;
        ++m_generation;
        m_flow.formatDirty = true;
        break;
    case Keyword::Uc:
        g.uc = static_cast<std::uint16_t>(std::clamp(param, 0, 0xFFFF));
        break;
    case Keyword::U:
        unicode(param);
        m_skipUnits = g.uc;
        break;
    case Keyword::F:
        if (g.dest == Dest::FontTable) {
            startFont(param);
        } else if (g.ch.font != param) {
            g.ch.font = param;
            m_flow.formatDirty = true;
        }
        break;
    case Keyword::Fcharset:
        if (g.dest == Dest::FontTable && m_font >= 0 && !m_fonts[static_cast<std::size_t>(m_font)].cpgGiven) {
            m_fonts[static_cast<std::size_t>(m_font)].codePage = CodePageOfCharset(param);
            ++m_generation;
        }
        break;
    case Keyword::Cpg:
        if (g.dest == Dest::FontTable && m_font >= 0 && param > 0) {
            Font& font = m_fonts[static_cast<std::size_t>(m_font)];
            font.codePage = param;
            font.cpgGiven = true;
            ++m_generation;
        }
        break;
    case Keyword::Red:
    case Keyword::Green:
    case Keyword::Blue:
        if (g.dest == Dest::ColourTable) {
            const int v = std::clamp(param, 0, 255);
            (k == Keyword::Red ? m_red : k == Keyword::Green ? m_green : m_blue) = v;
            m_colourGiven = true;
        }
        break;
    case Keyword::Listtable:
    case Keyword::Listoverridetable:
    case Keyword::List:
    case Keyword::Listlevel:
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
    case Keyword::Fldrslt:
    case Keyword::Field:
    case Keyword::Pict:
    case Keyword::Shppict:
    case Keyword::Shp:
    case Keyword::Shpinst:
    case Keyword::Sp:
    case Keyword::Sn:
    case Keyword::Sv:
    case Keyword::Footnote:
    case Keyword::Ftnalt:
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
        objectWord(g, k, hasParam, param);
        break;
    case Keyword::Par:
    case Keyword::Sect:
    case Keyword::Page:
        if (g.dest == Dest::Body)
            endParagraph();
        break;
    case Keyword::Pard:
        if (g.dest == Dest::Body)
            g.para = ParaState{};
        break;
    case Keyword::Line:
        unitOut(u'\v');
        break;
    case Keyword::Tab:
        unitOut(u'\t');
        break;
    case Keyword::Ql:
        g.para.alignment = Alignment::Left;
        break;
    case Keyword::Qc:
        g.para.alignment = Alignment::Centre;
        break;
    case Keyword::Qr:
        g.para.alignment = Alignment::Right;
        break;
    case Keyword::Qj:
        g.para.alignment = Alignment::Justified;
        break;
    case Keyword::Qother:
        g.para.alignment = Alignment::Other;
        break;
    case Keyword::Pnlvlblt:
        g.para.pn = Numbering::Bullet;
        break;
    case Keyword::Pnlvlbody:
    case Keyword::Pnlvl:
        g.para.pn = Numbering::Other;
        break;
    case Keyword::Pnlvlcont:
        g.para.pn = Numbering::None;
        break;
    default:
        formatWord(g, k, hasParam, param);
        break;
    }
}

void RtfReader::formatWord(Group& g, Keyword k, bool hasParam, int param)
{
    const bool on = !hasParam || param != 0;
    switch (k) {
    case Keyword::Plain: {
        // A link is the field's, not a character format: \plain inside its result keeps it.
        const std::uint32_t link = g.ch.link;
        g.ch = CharState{};
        g.ch.link = link;
        m_flow.formatDirty = true;
        break;
    }
    case Keyword::B:
        setChar(g, [&](CharState& c) { c.bold = on; });
        break;
    case Keyword::I:
        setChar(g, [&](CharState& c) { c.italic = on; });
        break;
    case Keyword::Ul:
        setChar(g, [&](CharState& c) { c.underline = on; });
        break;
    case Keyword::Ulnone:
        setChar(g, [&](CharState& c) { c.underline = false; });
        break;
    case Keyword::Strike:
        setChar(g, [&](CharState& c) { c.strike = on; });
        break;
    case Keyword::V:
        setChar(g, [&](CharState& c) { c.hidden = on; });
        break;
    case Keyword::Fs: {
        const int half = hasParam ? std::clamp(param, 0, kMaxHalfPoints) : 24;
        setChar(g, [&](CharState& c) { c.halfPoints = half; });
        break;
    }
    case Keyword::Cf:
        setChar(g, [&](CharState& c) { c.colour = hasParam ? param : 0; });
        break;
    default:
        specialCharacter(k);
        break;
    }
}

void RtfReader::specialCharacter(Keyword k)
{
    switch (k) {
    case Keyword::Emdash:
        unitOut(u'\u2014');
        break;
    case Keyword::Endash:
        unitOut(u'\u2013');
        break;
    case Keyword::Emspace:
        unitOut(u'\u2003');
        break;
    case Keyword::Enspace:
        unitOut(u'\u2002');
        break;
    case Keyword::Qmspace:
        unitOut(u'\u2005');
        break;
    case Keyword::Bullet:
        unitOut(u'\u2022');
        break;
    case Keyword::Lquote:
        unitOut(u'\u2018');
        break;
    case Keyword::Rquote:
        unitOut(u'\u2019');
        break;
    case Keyword::Ldblquote:
        unitOut(u'\u201C');
        break;
    case Keyword::Rdblquote:
        unitOut(u'\u201D');
        break;
    case Keyword::Zwj:
        unitOut(u'\u200D');
        break;
    case Keyword::Zwnj:
        unitOut(u'\u200C');
        break;
    case Keyword::Ltrmark:
        unitOut(u'\u200E');
        break;
    case Keyword::Rtlmark:
        unitOut(u'\u200F');
        break;
    default:
        break;
    }
}

template <typename Change> void RtfReader::setChar(Group& g, Change change)
{
    const CharState before = g.ch;
    change(g.ch);
    if (!(g.ch == before))
        m_flow.formatDirty = true;
}

void RtfReader::setAnsiCodePage(int codePage)
{
    m_ansiCp = codePage;
    ++m_generation;
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

// Plain bytes up to the next brace, backslash or line end.
void RtfReader::text()
{
    const std::size_t n = m_in.size();
    const Group& g = group();
    m_ignorable = false;
    switch (g.dest) {
    case Dest::Body:
        bodyText();
        return;
    case Dest::FontTable:
        fontText();
        return;
    case Dest::Marker:
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

// A lead byte not followed by its trail byte.
void RtfReader::flushLead()
{
    if (m_lead != 0) {
        m_lead = 0;
        unitOut(u'\uFFFD');
    }
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

const Font* RtfReader::fontOf(int number) const
{
    const auto it = m_fontIndex.find(number);
    return it == m_fontIndex.end() ? nullptr : &m_fonts[it->second];
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

FormatKey RtfReader::keyOf(const CharState& c) const noexcept
{
    return FormatKey{
        c.font < 0 ? m_deff : c.font, c.halfPoints, c.colour, c.link,
        static_cast<std::uint8_t>(c.bold | c.italic << 1 | c.underline << 2 | c.strike << 3 | c.hidden << 4)};
}

CharFormat RtfReader::resolve(const CharState& c) const
{
    CharFormat f;
    if (const Font* font = fontOf(c.font < 0 ? m_deff : c.font))
        f.font = trimmed(font->name); // also a name whose table was never closed
    f.pointSize = c.halfPoints / 2.0;
    if (c.colour >= 0 && static_cast<std::size_t>(c.colour) < m_colours.size())
        f.colour = m_colours[static_cast<std::size_t>(c.colour)];
    f.bold = c.bold;
    f.italic = c.italic;
    f.underline = c.underline;
    f.strikeout = c.strike;
    f.hidden = c.hidden;
    f.link = c.link;
    return f;
}

std::uint32_t RtfReader::formatOf(const FormatKey& key, const CharState& c)
{
    const std::size_t slot = (static_cast<std::size_t>(key.font) * 31 + static_cast<std::size_t>(key.halfPoints) * 7 +
                              static_cast<std::size_t>(key.colour) * 131 + key.link * 17 + key.flags) %
                             m_formatCache.size();
    CachedFormat& cached = m_formatCache[slot];
    if (!cached.used || cached.generation != m_generation || !(cached.key == key)) {
        cached = CachedFormat{key, m_generation, static_cast<std::uint32_t>(m_formats.size()), true};
        m_formats.push_back(resolve(c));
    }
    return cached.format;
}

// Before text is added: starts a run when the format has changed.
void RtfReader::ensureRun()
{
    Flow& flow = m_flow;
    flow.formatDirty = false;
    const Group& g = group();
    const FormatKey key = keyOf(g.ch);
    const bool open = !flow.runs.empty() && flow.runs.back().picture == 0 && flow.runs.back().note == 0;
    if (open && key == flow.runKey && flow.runGeneration == m_generation)
        return;
    const std::uint32_t format = formatOf(key, g.ch);
    flow.runKey = key;
    flow.runGeneration = m_generation;
    if (open &&
        (flow.runs.back().format == format || sameFormat(m_formats[flow.runs.back().format], m_formats[format])))
        return;
    applyParagraphState(paragraph());
    flow.runs.push_back(PendingRun{flow.text.size(), format, 0, 0});
}

void RtfReader::applyParagraphState(Paragraph& p)
{
    const ParaState& para = group().para;
    p.alignment = para.alignment;
    p.depth = para.depth;
    applyNumbering(para, p);
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
    p.depth = static_cast<std::uint8_t>(depth);
    p.end = depth > 0 ? end : CellEnd::None;
    closeRowsAbove(depth, true);
    m_flow.openDepth = std::max(m_flow.openDepth, depth);
    if (end == CellEnd::Cell && depth > 0)
        ++m_flow.cells[static_cast<std::size_t>(depth)];
    paragraphs.emplace_back();
}

void RtfReader::startFont(int number)
{
    finishFontName();
    m_fonts.emplace_back();
    m_font = static_cast<int>(m_fonts.size()) - 1;
    m_fontIndex[number] = m_fonts.size() - 1;
    m_fontNameDone = false;
    ++m_generation;
    m_flow.formatDirty = true;
}

void RtfReader::addColour()
{
    m_colours.push_back(m_colourGiven ? static_cast<Colour>(m_red | m_green << 8 | m_blue << 16) : kAutomaticColour);
    m_colourGiven = false;
    m_red = m_green = m_blue = 0;
    ++m_generation;
    m_flow.formatDirty = true;
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
