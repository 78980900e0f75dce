#include "core/rtf/Rtf.h"

#include "core/rtf/CodePages.h"
#include "core/rtf/DbcsTable.h"
#include "core/rtf/RtfKeyword.h"
#include "core/text/TextDecoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quillory::rtf {

namespace {

// Deeper groups are still read, in the state of the deepest one kept.
constexpr std::size_t kMaxDepth = 3000;
constexpr int kMaxHalfPoints = 32767;
// Every run carries its font's name, so a long one would be copied into every run; Windows allows 31.
constexpr std::size_t kMaxFontName = 64;
constexpr int kBulletFormat = 23; // \levelnfc of a bullet level

enum class Dest : std::uint8_t {
    Body,
    Skip,
    Marker, // \pntext, \listtext: the list marker a reader without lists would show
    FontTable,
    ColourTable,
    ListTable,
    OverrideTable,
    Pn,
    Upr,
    NestProps
};

struct CharState {
    int font = -1; // font number; -1 = the \deff font
    int halfPoints = 0;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;

    friend bool operator==(const CharState&, const CharState&) = default;
};

struct ParaState {
    Alignment alignment = Alignment::Left;
    Numbering pn = Numbering::None; // from \pn
    int ls = 0;
    int ilvl = 0;
};

struct Group {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Body;
    Dest uprOuter = Dest::Body;
    std::uint16_t uc = 1;
    bool opensPn = false;
};

struct Font {
    int codePage = 0; // 0 = the document's
    bool cpgGiven = false;
    std::u16string name;
};

struct List {
    std::vector<int> levelFormats;
};

// What decides a run's format: runs are compared by this before the resolved CharFormat.
struct FormatKey {
    int font = 0;
    int halfPoints = 0;
    int colour = 0;
    std::uint8_t flags = 0;

    friend bool operator==(const FormatKey&, const FormatKey&) = default;
};

struct CodePage {
    int number = 0;
    const char16_t* high = nullptr; // bytes 0x80..0xFF standing alone
};

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

// Single bytes of every code page; unknown pages and the double-byte pages' single bytes fall back
// to Windows-1252.
const char16_t* highHalf(int cp)
{
    static const HighHalf k1252 = cp1252High(false);
    static const HighHalf kSymbol = cp1252High(true);
    static const HighHalf k932 = [] {
        HighHalf h = cp1252High(false);
        for (int b = 0xA1; b <= 0xDF; ++b) // half-width katakana
            h[static_cast<std::size_t>(b - 0x80)] = static_cast<char16_t>(0xFF61 + (b - 0xA1));
        return h;
    }();
    if (cp == kCodePageSymbol)
        return kSymbol.data();
    if (cp == 932)
        return k932.data();
    if (const char16_t* high = SingleByteHigh(cp))
        return high;
    return k1252.data();
}

struct PendingRun {
    std::size_t start = 0;    // in the paragraph's text
    std::uint32_t format = 0; // in the reader's formats
};

// A growing buffer of UTF-16 units that, unlike std::u16string, does not clear what it is about
// to overwrite.
class UnitBuffer {
public:
    [[nodiscard]] std::size_t size() const noexcept { return m_size; }
    [[nodiscard]] bool empty() const noexcept { return m_size == 0; }
    [[nodiscard]] const char16_t* data() const noexcept { return m_data.get(); }
    void clear() noexcept { m_size = 0; }
    void pop_back() noexcept { --m_size; }

    void push_back(char16_t u)
    {
        if (m_size == m_capacity)
            grow(m_size + 1);
        m_data[m_size++] = u;
    }

    // Room for `count` more units, to be written by the caller.
    [[nodiscard]] char16_t* extend(std::size_t count)
    {
        if (m_capacity - m_size < count)
            grow(m_size + count);
        char16_t* out = m_data.get() + m_size;
        m_size += count;
        return out;
    }

private:
    void grow(std::size_t need)
    {
        const std::size_t capacity = std::max(need, m_capacity * 2 + 16);
        std::unique_ptr<char16_t[]> next(new char16_t[capacity]);
        if (m_size > 0)
            std::memcpy(next.get(), m_data.get(), m_size * sizeof(char16_t));
        m_data = std::move(next);
        m_capacity = capacity;
    }

    std::unique_ptr<char16_t[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// Formats already resolved, by their key; a miss resolves again, so the table stays small.
struct CachedFormat {
    FormatKey key;
    unsigned generation = 0;
    std::uint32_t format = 0;
    bool used = false;
};

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

class Reader {
public:
    explicit Reader(std::string_view in) : m_in(in) {}

    Document read()
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

private:
    Group& group() noexcept { return m_stack.back(); }
    Paragraph& paragraph() noexcept { return m_doc.paragraphs.back(); }

    void openGroup()
    {
        flushLead();
        m_skipUnits = 0;
        m_ignorable = false;
        if (m_stack.size() >= kMaxDepth) {
            ++m_overflow;
            return;
        }
        m_stack.push_back(m_stack.back());
        m_stack.back().opensPn = false;
    }

    // Text after the outermost group has closed is read on (a stray brace in a damaged file, pages
    // written one after another), in the state outside every group, but not what follows the file's
    // last closing brace: writers leave line ends, NULs and signatures there.
    void closeGroup()
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

    void popGroup()
    {
        const Group closed = m_stack.back();
        m_stack.pop_back();
        if (closed.dest == Dest::FontTable)
            finishFontName();
        if (closed.opensPn)
            group().para.pn = closed.para.pn;
        if (!(closed.ch == group().ch))
            m_formatDirty = true;
    }

    void control()
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

    void symbol(unsigned char c)
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

    void controlWord(Keyword k, bool hasParam, int param)
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
        const bool on = !hasParam || param != 0;
        switch (k) {
        case Keyword::Unknown:
        case Keyword::Fldrslt:
        case Keyword::Ud:
            break;
        case Keyword::SkipDestination:
        case Keyword::Fldinst:
            g.dest = Dest::Skip;
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
        case Keyword::Listtable:
            g.dest = Dest::ListTable;
            break;
        case Keyword::Listoverridetable:
            g.dest = Dest::OverrideTable;
            break;
        case Keyword::Pn:
            g.dest = Dest::Pn;
            g.opensPn = true;
            g.para.pn = Numbering::Other;
            break;
        case Keyword::Upr:
            g.uprOuter = g.dest;
            g.dest = Dest::Upr;
            break;
        case Keyword::Nesttableprops:
            g.dest = Dest::NestProps;
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
            m_formatDirty = true;
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
                m_formatDirty = true;
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
        case Keyword::List:
            if (g.dest == Dest::ListTable) {
                m_lists.emplace_back();
                m_level = -1;
            }
            break;
        case Keyword::Listlevel:
            if (g.dest == Dest::ListTable && !m_lists.empty()) {
                m_lists.back().levelFormats.push_back(0);
                m_level = static_cast<int>(m_lists.back().levelFormats.size()) - 1;
            }
            break;
        case Keyword::Levelnfc:
            if (g.dest == Dest::ListTable && !m_lists.empty() && m_level >= 0)
                m_lists.back().levelFormats[static_cast<std::size_t>(m_level)] = param;
            break;
        case Keyword::Listid:
            if (g.dest == Dest::ListTable && !m_lists.empty()) {
                m_listById[param] = m_lists.size() - 1;
            } else if (g.dest == Dest::OverrideTable) {
                m_overrideList = param;
                linkOverride();
            }
            break;
        case Keyword::Listoverride:
            if (g.dest == Dest::OverrideTable)
                m_overrideList = m_overrideLs = 0;
            break;
        case Keyword::Ls:
            if (g.dest == Dest::OverrideTable) {
                m_overrideLs = param;
                linkOverride();
            } else if (g.dest == Dest::Body) {
                g.para.ls = param;
            }
            break;
        case Keyword::Ilvl:
            g.para.ilvl = param;
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
        case Keyword::Cell:
            if (g.dest == Dest::Body) {
                unitOut(u'\t');
                m_cellTab = true;
            }
            break;
        case Keyword::Row:
            if (g.dest == Dest::Body || g.dest == Dest::NestProps)
                endRow();
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
        case Keyword::Plain:
            g.ch = CharState{};
            m_formatDirty = true;
            break;
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
            g.ch.hidden = on;
            break;
        case Keyword::Fs: {
            const int half = hasParam ? std::clamp(param, 0, kMaxHalfPoints) : 24;
            setChar(g, [&](CharState& c) { c.halfPoints = half; });
            break;
        }
        case Keyword::Cf:
            setChar(g, [&](CharState& c) { c.colour = hasParam ? param : 0; });
            break;
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
        case Keyword::Bin:
            break;
        }
    }

    template <typename Change> void setChar(Group& g, Change change)
    {
        const CharState before = g.ch;
        change(g.ch);
        if (!(g.ch == before))
            m_formatDirty = true;
    }

    void setAnsiCodePage(int codePage)
    {
        m_ansiCp = codePage;
        ++m_generation;
    }

    void skipBinary(int count)
    {
        const std::size_t left = m_in.size() - m_pos;
        m_pos += std::min<std::size_t>(left, static_cast<std::size_t>(std::max(count, 0)));
    }

    void unicode(int param)
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
    void text()
    {
        const std::size_t n = m_in.size();
        const Group& g = group();
        m_ignorable = false;
        switch (g.dest) {
        case Dest::Body:
            if (!g.ch.hidden) {
                bodyText();
                return;
            }
            break;
        case Dest::FontTable:
            fontText();
            return;
        case Dest::Marker:
            markerText();
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

    void bodyText()
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

    void fontText()
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

    void markerText()
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
    void byteOut(unsigned char b)
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
    void flushLead()
    {
        if (m_lead != 0) {
            m_lead = 0;
            unitOut(u'\uFFFD');
        }
    }

    // The code page of the current font, remembered while fonts and \ansicpg stay the same.
    const CodePage& codePage()
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

    const Font* fontOf(int number) const
    {
        const auto it = m_fontIndex.find(number);
        return it == m_fontIndex.end() ? nullptr : &m_fonts[it->second];
    }

    // One UTF-16 unit of text for the current destination.
    void unitOut(char16_t u)
    {
        const Group& g = group();
        if (g.dest == Dest::FontTable) {
            if (m_font >= 0 && !m_fontNameDone) {
                std::u16string& name = m_fonts[static_cast<std::size_t>(m_font)].name;
                if (name.size() < kMaxFontName && !(name.empty() && u == u' ')) {
                    name.push_back(u);
                    ++m_generation;
                }
            }
            return;
        }
        if (g.dest == Dest::Marker) {
            if (m_marker.size() < 16)
                m_marker.push_back(u);
            return;
        }
        if (g.dest != Dest::Body || g.ch.hidden)
            return;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (m_high != 0)
                put(u'\uFFFD');
            m_high = u;
            return;
        }
        if (u >= 0xDC00 && u <= 0xDFFF) {
            if (m_high != 0) {
                put(m_high);
                m_high = 0;
                put(u);
            } else {
                put(u'\uFFFD');
            }
            return;
        }
        resolveHigh();
        put(u);
    }

    void resolveHigh()
    {
        if (m_high != 0) {
            m_high = 0;
            put(u'\uFFFD');
        }
    }

    void put(char16_t u)
    {
        if (m_formatDirty)
            ensureRun();
        m_text.push_back(u);
        m_cellTab = false;
    }

    void appendAscii(const char* p, std::size_t count)
    {
        resolveHigh();
        if (m_formatDirty)
            ensureRun();
        char16_t* out = m_text.extend(count);
        std::size_t i = 0;
        for (; i + 8 <= count; i += 8) // a fixed width the compiler widens in one go
            for (std::size_t k = 0; k < 8; ++k)
                out[i + k] = static_cast<unsigned char>(p[i + k]);
        for (; i < count; ++i)
            out[i] = static_cast<unsigned char>(p[i]);
        m_cellTab = false;
    }

    FormatKey keyOf(const CharState& c) const noexcept
    {
        return FormatKey{c.font < 0 ? m_deff : c.font, c.halfPoints, c.colour,
                         static_cast<std::uint8_t>(c.bold | c.italic << 1 | c.underline << 2 | c.strike << 3)};
    }

    CharFormat resolve(const CharState& c) const
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
        return f;
    }

    std::uint32_t formatOf(const FormatKey& key, const CharState& c)
    {
        const std::size_t slot =
            (static_cast<std::size_t>(key.font) * 31 + static_cast<std::size_t>(key.halfPoints) * 7 +
             static_cast<std::size_t>(key.colour) * 131 + key.flags) %
            m_formatCache.size();
        CachedFormat& cached = m_formatCache[slot];
        if (!cached.used || cached.generation != m_generation || !(cached.key == key)) {
            cached = CachedFormat{key, m_generation, static_cast<std::uint32_t>(m_formats.size()), true};
            m_formats.push_back(resolve(c));
        }
        return cached.format;
    }

    // CharFormat's ==, but the fields that differ most often first.
    static bool sameFormat(const CharFormat& a, const CharFormat& b) noexcept
    {
        return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.strikeout == b.strikeout &&
               a.colour == b.colour && a.pointSize == b.pointSize && a.font == b.font;
    }

    // Before text is added: starts a run when the format has changed.
    void ensureRun()
    {
        m_formatDirty = false;
        const Group& g = group();
        const FormatKey key = keyOf(g.ch);
        const bool open = !m_runs.empty();
        if (open && key == m_runKey && m_runGeneration == m_generation)
            return;
        const std::uint32_t format = formatOf(key, g.ch);
        m_runKey = key;
        m_runGeneration = m_generation;
        if (open && (m_runs.back().format == format || sameFormat(m_formats[m_runs.back().format], m_formats[format])))
            return;
        Paragraph& p = paragraph();
        p.alignment = g.para.alignment;
        p.numbering = numberingOf(g.para);
        m_runs.push_back(PendingRun{m_text.size(), format});
    }

    Numbering numberingOf(const ParaState& para) const
    {
        if (para.ls <= 0)
            return para.pn;
        const auto over = m_lsToList.find(para.ls);
        const auto list = over == m_lsToList.end() ? m_listById.end() : m_listById.find(over->second);
        if (list != m_listById.end()) {
            const std::vector<int>& levels = m_lists[list->second].levelFormats;
            const auto level = static_cast<std::size_t>(std::max(para.ilvl, 0));
            if (level < levels.size())
                return levels[level] == kBulletFormat ? Numbering::Bullet : Numbering::Other;
        }
        // Without a list table, the marker shown tells a number ("10.") from a bullet.
        const bool numbered = std::any_of(m_marker.begin(), m_marker.end(), [](char16_t c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        });
        return numbered ? Numbering::Other : Numbering::Bullet;
    }

    // A paragraph's text is gathered in one buffer and its runs made at its end, each of its exact
    // size: the model would otherwise hold up to twice the text in spare capacity.
    void closeParagraph()
    {
        std::vector<Run>& runs = paragraph().runs;
        runs.reserve(m_runs.size());
        for (std::size_t i = 0; i < m_runs.size(); ++i) {
            const std::size_t end = i + 1 < m_runs.size() ? m_runs[i + 1].start : m_text.size();
            runs.push_back(Run{std::u16string(m_text.data() + m_runs[i].start, end - m_runs[i].start),
                               m_formats[m_runs[i].format]});
        }
        m_runs.clear();
        m_text.clear();
        m_formatDirty = true;
    }

    void endParagraph()
    {
        flushLead();
        resolveHigh();
        closeParagraph();
        Paragraph& p = paragraph();
        p.alignment = group().para.alignment;
        p.numbering = numberingOf(group().para);
        m_doc.paragraphs.emplace_back();
        m_cellTab = false;
    }

    void endRow()
    {
        if (m_cellTab && !m_text.empty()) {
            m_text.pop_back();
            if (m_runs.back().start == m_text.size())
                m_runs.pop_back();
        }
        endParagraph();
    }

    void startFont(int number)
    {
        finishFontName();
        m_fonts.emplace_back();
        m_font = static_cast<int>(m_fonts.size()) - 1;
        m_fontIndex[number] = m_fonts.size() - 1;
        m_fontNameDone = false;
        ++m_generation;
        m_formatDirty = true;
    }

    void finishFontName() { m_fontNameDone = true; }

    void addColour()
    {
        m_colours.push_back(m_colourGiven ? static_cast<Colour>(m_red | m_green << 8 | m_blue << 16)
                                          : kAutomaticColour);
        m_colourGiven = false;
        m_red = m_green = m_blue = 0;
        ++m_generation;
        m_formatDirty = true;
    }

    void linkOverride()
    {
        if (m_overrideLs > 0 && m_overrideList != 0)
            m_lsToList[m_overrideLs] = m_overrideList;
    }

    Document finish()
    {
        flushLead();
        resolveHigh();
        closeParagraph();
        if (m_doc.paragraphs.size() > 1 && paragraph().runs.empty())
            m_doc.paragraphs.pop_back();
        m_doc.paragraphs.shrink_to_fit();
        return std::move(m_doc);
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::size_t m_lastBrace = 0;
    std::vector<Group> m_stack;
    std::size_t m_overflow = 0;
    bool m_ignorable = false;
    int m_skipUnits = 0;

    Document m_doc;
    UnitBuffer m_text; // the paragraph being read
    std::vector<PendingRun> m_runs;
    std::vector<CharFormat> m_formats;
    std::array<CachedFormat, 64> m_formatCache{};
    FormatKey m_runKey;
    unsigned m_runGeneration = 0;
    bool m_formatDirty = true;
    bool m_cellTab = false;
    char16_t m_high = 0;

    int m_ansiCp = kCodePageAnsi;
    int m_deff = 0;
    std::vector<Font> m_fonts;
    std::unordered_map<int, std::size_t> m_fontIndex;
    int m_font = -1; // the font table entry being read
    bool m_fontNameDone = true;
    unsigned m_generation = 0;
    int m_cpMemoFont = std::numeric_limits<int>::min();
    unsigned m_cpMemoGeneration = 0;
    CodePage m_cp{kCodePageAnsi, highHalf(kCodePageAnsi)};
    unsigned char m_lead = 0;
    int m_leadCp = 0;

    std::vector<Colour> m_colours;
    bool m_colourGiven = false;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;

    std::u16string m_marker; // the last list marker's text
    std::vector<List> m_lists;
    int m_level = -1;
    std::unordered_map<int, std::size_t> m_listById;
    std::unordered_map<int, int> m_lsToList;
    int m_overrideList = 0;
    int m_overrideLs = 0;
};

} // namespace

Document ReadRtf(std::string_view bytes)
{
    return Reader(bytes).read();
}

} // namespace quillory::rtf
