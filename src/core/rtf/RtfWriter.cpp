#include "core/rtf/Rtf.h"

#include "core/text/TextDecoder.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillory::rtf {

namespace {

using namespace std::literals;

// Named in the font table when no run names a font; \deff0 needs an entry.
constexpr std::u16string_view kFallbackFont = u"Calibri";
constexpr int kMaxHalfPoints = 32767;

struct WriterFormat {
    int font = -1;
    int halfPoints = 0;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
};

bool hasText(const Run& run) noexcept
{
    return !run.text.empty();
}

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

// Output written through a pointer into room made ahead, rather than a character at a time.
class RtfOut {
public:
    explicit RtfOut(std::size_t expected) { m_buffer.resize(expected); }

    // Room for at least `count` more bytes; write them, then commit the end of what was written.
    [[nodiscard]] char* room(std::size_t count)
    {
        if (m_buffer.size() - m_length < count)
            m_buffer.resize(std::max(m_buffer.size() * 2, m_length + count));
        return m_buffer.data() + m_length;
    }

    void commit(const char* end) noexcept { m_length = static_cast<std::size_t>(end - m_buffer.data()); }

    void append(std::string_view s)
    {
        char* p = room(s.size());
        std::memcpy(p, s.data(), s.size());
        commit(p + s.size());
    }

    void operator+=(std::string_view s) { append(s); }
    void operator+=(char c) { append(std::string_view(&c, 1)); }

    [[nodiscard]] std::string take()
    {
        m_buffer.resize(m_length);
        return std::move(m_buffer);
    }

private:
    std::string m_buffer; // written up to m_length
    std::size_t m_length = 0;
};

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

class Writer {
public:
    explicit Writer(const Document& doc) : m_doc(doc), m_out(expectedSize(doc)) {}

    std::string write()
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
        m_out += "\\viewkind4\\uc1 \r\n"sv;

        if (m_doc.paragraphs.empty()) {
            m_out += "\\pard\\par\r\n"sv;
        } else {
            const Paragraph* previous = nullptr;
            for (const Paragraph& p : m_doc.paragraphs) {
                paragraph(p, previous);
                previous = &p;
            }
        }
        m_out += "}\r\n"sv;
        return m_out.take();
    }

private:
    static std::size_t expectedSize(const Document& doc)
    {
        std::size_t size = 256;
        for (const Paragraph& p : doc.paragraphs)
            for (const Run& r : p.runs)
                size += r.text.size() + 16;
        return size + size / 8;
    }

    void collectTables()
    {
        std::unordered_map<std::u16string, int> fonts;
        std::unordered_map<Colour, int> colours;
        bool bullets = false;
        for (const Paragraph& p : m_doc.paragraphs) {
            bullets = bullets || p.numbering == Numbering::Bullet;
            for (const Run& r : p.runs) {
                if (!hasText(r))
                    continue;
                // Neighbouring runs mostly share font and colour; the maps need not see them again.
                if ((m_fonts.empty() || r.format.font != m_fonts.back()) &&
                    fonts.emplace(r.format.font, static_cast<int>(m_fonts.size())).second)
                    m_fonts.push_back(r.format.font);
                if (!isSystemColour(r.format.colour) && (m_colours.empty() || r.format.colour != m_colours.back()) &&
                    colours.emplace(r.format.colour, static_cast<int>(m_colours.size()) + 1).second)
                    m_colours.push_back(r.format.colour);
            }
        }
        if (m_fonts.empty())
            m_fonts.emplace_back(kFallbackFont);
        if (bullets)
            m_symbolFont = static_cast<int>(m_fonts.size());
        m_fontIndex = std::move(fonts);
        m_colourIndex = std::move(colours);
    }

    void paragraph(const Paragraph& p, const Paragraph* previous)
    {
        const bool same =
            previous != nullptr && previous->alignment == p.alignment && previous->numbering == p.numbering;
        if (!same) {
            word("\\pard");
            m_item = 0;
            if (p.numbering == Numbering::Bullet) {
                bulletText();
                m_out += "{\\*\\pn\\pnlvlblt\\pnf"sv;
                number(m_symbolFont);
                m_out += "\\pnindent0{\\pntxtb\\'B7}}"sv;
                word("\\fi-360\\li720");
            } else if (p.numbering == Numbering::Other) {
                numberText();
                m_out += "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}"sv;
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
        } else if (p.numbering == Numbering::Bullet) {
            bulletText();
        } else if (p.numbering == Numbering::Other) {
            numberText();
        }
        for (const Run& r : p.runs) {
            if (!hasText(r))
                continue;
            format(r.format);
            text(r.text);
        }
        word("\\par");
        m_out += "\r\n"sv;
        m_delimit = false;
    }

    void bulletText()
    {
        m_out += "{\\pntext\\f"sv;
        number(m_symbolFont);
        m_out += "\\'B7\\tab}"sv;
        m_delimit = false;
    }

    void numberText()
    {
        m_out += "{\\pntext\\f0 "sv;
        number(++m_item);
        m_out += ".\\tab}"sv;
        m_delimit = false;
    }

    void format(const CharFormat& f)
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

    void text(std::u16string_view s)
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

    void fontName(std::u16string_view s)
    {
        for (const char16_t u : s) {
            char* p = m_out.room(kMaxPerUnit);
            if (u == u'\\' || u == u'{' || u == u'}') {
                *p++ = '\\';
                *p++ = static_cast<char>(u);
            } else if (u == u';' || u < 0x20 || u >= 0x7F) {
                p = escape(p, u);
            } else {
                *p++ = static_cast<char>(u);
            }
            m_out.commit(p);
        }
        m_delimit = false;
    }

    void word(std::string_view w)
    {
        m_out += w;
        m_delimit = true;
    }

    void number(int value)
    {
        char* p = m_out.room(12);
        m_out.commit(std::to_chars(p, p + 12, value).ptr);
        m_delimit = true;
    }

    const Document& m_doc;
    RtfOut m_out;
    std::vector<std::u16string> m_fonts;
    std::unordered_map<std::u16string, int> m_fontIndex;
    int m_symbolFont = -1;
    std::vector<Colour> m_colours;
    std::unordered_map<Colour, int> m_colourIndex;
    const std::u16string* m_lastFont = nullptr;
    int m_lastFontIndex = 0;
    Colour m_lastColour = kAutomaticColour;
    int m_lastColourIndex = 0;
    WriterFormat m_state;
    bool m_delimit = false;
    int m_item = 0;
};

} // namespace

std::string WriteRtf(const Document& doc)
{
    return Writer(doc).write();
}

} // namespace quillory::rtf
