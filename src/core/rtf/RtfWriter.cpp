#include "core/rtf/Rtf.h"

#include "core/text/TextDecoder.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillory::rtf {

namespace {

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

class Writer {
public:
    explicit Writer(const Document& doc) : m_doc(doc) {}

    std::string write()
    {
        collectTables();
        std::size_t estimate = 256;
        for (const Paragraph& p : m_doc.paragraphs)
            for (const Run& r : p.runs)
                estimate += r.text.size() + 16;
        m_out.reserve(estimate + estimate / 8);

        m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl";
        for (std::size_t i = 0; i < m_fonts.size(); ++i) {
            m_out += "{\\f";
            number(static_cast<int>(i));
            m_out += "\\fnil\\fcharset0 ";
            fontName(m_fonts[i]);
            m_out += ";}";
        }
        if (m_symbolFont >= 0) {
            m_out += "{\\f";
            number(m_symbolFont);
            m_out += "\\fnil\\fcharset2 Symbol;}";
        }
        m_out += "}\r\n";
        if (!m_colours.empty()) {
            m_out += "{\\colortbl ;";
            for (const Colour c : m_colours) {
                m_out += "\\red";
                number(static_cast<int>(c & 0xFF));
                m_out += "\\green";
                number(static_cast<int>((c >> 8) & 0xFF));
                m_out += "\\blue";
                number(static_cast<int>((c >> 16) & 0xFF));
                m_out += ';';
            }
            m_out += "}\r\n";
        }
        m_out += "\\viewkind4\\uc1 \r\n";

        if (m_doc.paragraphs.empty()) {
            m_out += "\\pard\\par\r\n";
        } else {
            const Paragraph* previous = nullptr;
            for (const Paragraph& p : m_doc.paragraphs) {
                paragraph(p, previous);
                previous = &p;
            }
        }
        m_out += "}\r\n";
        return std::move(m_out);
    }

private:
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
                if (fonts.emplace(r.format.font, static_cast<int>(m_fonts.size())).second)
                    m_fonts.push_back(r.format.font);
                if (!isSystemColour(r.format.colour) &&
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
                m_out += "{\\*\\pn\\pnlvlblt\\pnf";
                number(m_symbolFont);
                m_out += "\\pnindent0{\\pntxtb\\'B7}}";
                word("\\fi-360\\li720");
            } else if (p.numbering == Numbering::Other) {
                numberText();
                m_out += "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}";
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
        m_out += "\r\n";
        m_delimit = false;
    }

    void bulletText()
    {
        m_out += "{\\pntext\\f";
        number(m_symbolFont);
        m_out += "\\'B7\\tab}";
        m_delimit = false;
    }

    void numberText()
    {
        m_out += "{\\pntext\\f0 ";
        number(++m_item);
        m_out += ".\\tab}";
        m_delimit = false;
    }

    void format(const CharFormat& f)
    {
        WriterFormat want;
        want.font = m_fontIndex.at(f.font);
        want.halfPoints = halfPointsOf(f.pointSize);
        want.colour = isSystemColour(f.colour) ? 0 : m_colourIndex.at(f.colour);
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
        for (const char16_t u : s) {
            if (u >= 0x20 && u < 0x80) {
                if (u == u'\\' || u == u'{' || u == u'}') {
                    m_out += '\\';
                    m_out += static_cast<char>(u);
                    m_delimit = false;
                    continue;
                }
                if (m_delimit) {
                    m_out += ' ';
                    m_delimit = false;
                }
                m_out += static_cast<char>(u);
            } else if (u == u'\t') {
                word("\\tab");
            } else if (u == u'\v') {
                word("\\line");
            } else {
                escaped(u);
            }
        }
    }

    void fontName(std::u16string_view s)
    {
        for (const char16_t u : s) {
            if (u == u'\\' || u == u'{' || u == u'}') {
                m_out += '\\';
                m_out += static_cast<char>(u);
            } else if (u == u';' || u < 0x20 || u >= 0x80) {
                escaped(u);
            } else {
                m_out += static_cast<char>(u);
            }
        }
        m_delimit = false;
    }

    // \'hh for Windows-1252, \uN? otherwise.
    void escaped(char16_t u)
    {
        const int byte = u >= 0x20 ? UnicodeToCp1252(u) : -1;
        if (byte >= 0) {
            static constexpr char kHex[] = "0123456789abcdef";
            m_out += "\\'";
            m_out += kHex[byte >> 4];
            m_out += kHex[byte & 0xF];
        } else {
            m_out += "\\u";
            number(u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u));
            m_out += '?';
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
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        m_out.append(buffer, result.ptr);
        m_delimit = true;
    }

    const Document& m_doc;
    std::string m_out;
    std::vector<std::u16string> m_fonts;
    std::unordered_map<std::u16string, int> m_fontIndex;
    int m_symbolFont = -1;
    std::vector<Colour> m_colours;
    std::unordered_map<Colour, int> m_colourIndex;
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
