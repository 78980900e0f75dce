#include "core/rtf/RtfReader.h"

#include <algorithm>

// Character and paragraph properties, and the runs of text they make.
namespace quillory::rtf::detail {

namespace {

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

void RtfReader::paragraphWord(Group& g, Keyword k)
{
    switch (k) {
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
    case Keyword::Pn:
        g.dest = Dest::Pn;
        g.closes |= kClosesPn;
        g.para.pn = Numbering::Other;
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

} // namespace quillory::rtf::detail
