#include "core/rtf/RtfReader.h"

#include "core/text/TextDecoder.h"

#include <algorithm>
#include <limits>

// The font and colour tables, and the code page each font's bytes are read in.
namespace quillory::rtf::detail {

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
} // namespace

const char16_t* RtfReader::highHalf(int codePage)
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
    switch (codePage) {
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
    if (const char16_t* high = SingleByteHigh(codePage))
        return high;
    return k1252.data();
}

void RtfReader::fontWord(Group& g, Keyword k, int param)
{
    switch (k) {
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
    default:
        break;
    }
}

void RtfReader::setAnsiCodePage(int codePage)
{
    m_ansiCp = codePage;
    ++m_generation;
}

const Font* RtfReader::fontOf(int number) const
{
    const auto it = m_fontIndex.find(number);
    return it == m_fontIndex.end() ? nullptr : &m_fonts[it->second];
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

} // namespace quillory::rtf::detail
