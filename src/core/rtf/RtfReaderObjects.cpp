#include "core/rtf/RtfReader.h"

// Pictures (also those of shapes), hyperlink fields and footnotes.
namespace quillory::rtf::detail {

namespace {

constexpr auto kNibble = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (int c = 0; c < 10; ++c)
        table[static_cast<std::size_t>('0' + c)] = static_cast<std::int8_t>(c);
    for (int c = 0; c < 6; ++c) {
        table[static_cast<std::size_t>('a' + c)] = static_cast<std::int8_t>(10 + c);
        table[static_cast<std::size_t>('A' + c)] = static_cast<std::int8_t>(10 + c);
    }
    return table;
}();

bool endsText(char c) noexcept
{
    return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n';
}

bool startsWithWord(std::u16string_view s, std::u16string_view word) noexcept
{
    if (s.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t c = s[i] >= u'a' && s[i] <= u'z' ? static_cast<char16_t>(s[i] - u'a' + u'A') : s[i];
        if (c != word[i])
            return false;
    }
    return s.size() == word.size() || s[word.size()] == u' ' || s[word.size()] == u'"';
}

void skipSpaces(std::u16string_view& s) noexcept
{
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t'))
        s.remove_prefix(1);
}

// One argument of a field instruction: quoted (where \\ and \" stand for \ and ") or up to a space.
std::u16string argument(std::u16string_view& s)
{
    skipSpaces(s);
    std::u16string out;
    if (!s.empty() && s.front() == u'"') {
        s.remove_prefix(1);
        while (!s.empty() && s.front() != u'"') {
            if (s.front() == u'\\' && s.size() > 1 && (s[1] == u'\\' || s[1] == u'"'))
                s.remove_prefix(1);
            out += s.front();
            s.remove_prefix(1);
        }
        if (!s.empty())
            s.remove_prefix(1);
        return out;
    }
    while (!s.empty() && s.front() != u' ' && s.front() != u'\t') {
        out += s.front();
        s.remove_prefix(1);
    }
    return out;
}

// The target of a HYPERLINK field: its address, with "#" and the bookmark of a \l switch; empty for
// other fields.
std::u16string hyperlinkTarget(std::u16string_view s)
{
    skipSpaces(s);
    if (!startsWithWord(s, u"HYPERLINK"))
        return {};
    s.remove_prefix(9);
    std::u16string address;
    std::u16string bookmark;
    for (skipSpaces(s); !s.empty(); skipSpaces(s)) {
        if (s.front() == u'\\' && s.size() > 1) {
            const char16_t option = s[1];
            s.remove_prefix(2);
            if (option == u'l')
                bookmark = argument(s);
            else if (option == u'o' || option == u't')
                (void)argument(s);
            continue;
        }
        std::u16string word = argument(s);
        if (address.empty())
            address = std::move(word);
    }
    if (!bookmark.empty())
        address += u'#' + bookmark;
    return address;
}

int positive(int value) noexcept
{
    return std::max(value, 0);
}

} // namespace

void RtfReader::objectWord(Group& g, Keyword k, bool hasParam, int param)
{
    const bool picture = g.dest == Dest::Picture;
    const bool shape = g.dest == Dest::Shape;
    switch (k) {
    case Keyword::Field:
        if (g.dest == Dest::Body)
            m_collected.clear();
        break;
    case Keyword::Fldrslt:
        fieldResult(g);
        break;
    case Keyword::Pict:
        if (g.dest == Dest::Body || g.dest == Dest::PictureHolder) {
            g.dest = Dest::Picture;
            g.closes |= kClosesPicture;
            m_picture = Picture{};
            m_pictureNibble = -1;
            m_pictureInShape = m_inShape;
        } else {
            g.dest = Dest::Skip;
        }
        break;
    case Keyword::Shppict:
        g.dest = g.dest == Dest::Body ? Dest::PictureHolder : Dest::Skip;
        break;
    case Keyword::Shp:
        if (g.dest == Dest::Body && !m_inShape) {
            g.dest = Dest::Shape;
            g.closes |= kClosesShape;
            m_inShape = true;
            m_shapeLeft = m_shapeTop = m_shapeRight = m_shapeBottom = 0;
        } else {
            g.dest = Dest::Skip;
        }
        break;
    case Keyword::Shpinst:
        g.dest = shape ? Dest::Shape : Dest::Skip;
        break;
    case Keyword::Sp:
        g.dest = shape ? Dest::ShapeProperty : Dest::Skip;
        break;
    case Keyword::Sn:
        if (g.dest == Dest::ShapeProperty) {
            g.dest = Dest::ShapeName;
            m_collected.clear();
        } else {
            g.dest = Dest::Skip;
        }
        break;
    case Keyword::Sv:
        // Of a shape's properties only its picture is shown.
        g.dest = g.dest == Dest::ShapeProperty && m_collected == u"pib" ? Dest::PictureHolder : Dest::Skip;
        break;
    case Keyword::Footnote:
        if (g.dest == Dest::Body && !m_inNote)
            beginNote(g);
        else
            g.dest = Dest::Skip;
        break;
    case Keyword::Ftnalt:
        if (m_inNote && g.dest == Dest::Body)
            m_doc.notes.back().endnote = true;
        break;
    case Keyword::Pngblip:
    case Keyword::Jpegblip:
    case Keyword::Emfblip:
    case Keyword::Macpict:
        if (picture) {
            m_picture.kind = k == Keyword::Pngblip    ? PictureKind::Png
                             : k == Keyword::Jpegblip ? PictureKind::Jpeg
                             : k == Keyword::Emfblip  ? PictureKind::Emf
                                                      : PictureKind::MacPict;
            m_picture.kindParam = 0;
        }
        break;
    case Keyword::Wmetafile:
    case Keyword::Dibitmap:
    case Keyword::Wbitmap:
    case Keyword::Pmmetafile:
        if (picture) {
            m_picture.kind = k == Keyword::Wmetafile  ? PictureKind::Wmf
                             : k == Keyword::Dibitmap ? PictureKind::Dib
                             : k == Keyword::Wbitmap  ? PictureKind::Bitmap
                                                      : PictureKind::Os2Metafile;
            m_picture.kindParam = hasParam ? param : 0;
        }
        break;
    case Keyword::Picw:
    case Keyword::Pich:
    case Keyword::Picwgoal:
    case Keyword::Pichgoal:
    case Keyword::Picscalex:
    case Keyword::Picscaley:
        if (picture) {
            int& field = k == Keyword::Picw        ? m_picture.width
                         : k == Keyword::Pich      ? m_picture.height
                         : k == Keyword::Picwgoal  ? m_picture.goalWidth
                         : k == Keyword::Pichgoal  ? m_picture.goalHeight
                         : k == Keyword::Picscalex ? m_picture.scaleX
                                                   : m_picture.scaleY;
            field = positive(param);
        }
        break;
    case Keyword::Shpleft:
    case Keyword::Shptop:
    case Keyword::Shpright:
    case Keyword::Shpbottom:
        if (shape)
            (k == Keyword::Shpleft    ? m_shapeLeft
             : k == Keyword::Shptop   ? m_shapeTop
             : k == Keyword::Shpright ? m_shapeRight
                                      : m_shapeBottom) = param;
        break;
    default:
        break;
    }
}

// Hex digits of picture data; anything else between them is passed over.
void RtfReader::pictureText()
{
    const char* data = m_in.data();
    const std::size_t n = m_in.size();
    std::size_t end = m_pos;
    while (end < n && !endsText(data[end]))
        ++end;
    std::string& out = m_picture.data;
    const std::size_t before = out.size();
    out.resize(before + (end - m_pos) / 2 + 1);
    char* o = out.data() + before;
    int high = m_pictureNibble;
    for (std::size_t p = m_pos; p < end; ++p) {
        const int v = kNibble[static_cast<unsigned char>(data[p])];
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
        } else {
            *o++ = static_cast<char>(high << 4 | v);
            high = -1;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    m_pictureNibble = high;
    m_pos = end;
    m_skipUnits = 0;
}

void RtfReader::pictureBinary(int count)
{
    const std::size_t take = std::min<std::size_t>(m_in.size() - m_pos, static_cast<std::size_t>(std::max(count, 0)));
    m_picture.data.append(m_in.data() + m_pos, take);
    m_pos += take;
}

// A picture group has closed: it joins the paragraph, at the size of its shape when it gives none.
void RtfReader::finishPicture()
{
    if (m_picture.kind == PictureKind::Unknown && m_picture.data.empty())
        return;
    if (m_pictureInShape && m_picture.goalWidth == 0 && m_picture.goalHeight == 0) {
        m_picture.goalWidth = positive(m_shapeRight - m_shapeLeft);
        m_picture.goalHeight = positive(m_shapeBottom - m_shapeTop);
    }
    m_doc.pictures.push_back(std::move(m_picture));
    m_picture = Picture{};
    emitObject(static_cast<std::uint32_t>(m_doc.pictures.size()), 0);
}

// A picture or note reference: a run of its own, in the format around it.
void RtfReader::emitObject(std::uint32_t picture, std::uint32_t note)
{
    flushLead();
    resolveHigh();
    const Group& g = group();
    const std::uint32_t format = formatOf(keyOf(g.ch), g.ch);
    applyParagraphState(paragraph());
    m_flow.runs.push_back(PendingRun{m_flow.text.size(), format, picture, note});
    m_flow.text.push_back(kObjectChar);
    m_flow.formatDirty = true;
}

void RtfReader::fieldResult(Group& g)
{
    if (g.dest != Dest::Body)
        return;
    std::u16string target = hyperlinkTarget(m_collected);
    m_collected.clear();
    if (target.empty())
        return;
    g.ch.link = linkIndex(std::move(target));
    m_flow.formatDirty = true;
}

std::uint32_t RtfReader::linkIndex(std::u16string target)
{
    const auto [it, added] = m_linkIndex.emplace(target, static_cast<std::uint32_t>(m_doc.links.size() + 1));
    if (added)
        m_doc.links.push_back(std::move(target));
    return it->second;
}

// The note's text is read into its own paragraphs; the page keeps a reference where it stands.
void RtfReader::beginNote(Group& g)
{
    // A note in a link's result is not part of the link.
    g.ch.link = 0;
    m_doc.notes.emplace_back();
    emitObject(0, static_cast<std::uint32_t>(m_doc.notes.size()));
    m_outerFlow = std::move(m_flow);
    m_flow = Flow{};
    m_flow.paragraphs = &m_doc.notes.back().paragraphs;
    m_flow.paragraphs->emplace_back();
    m_inNote = true;
    g.closes |= kClosesNote;
}

void RtfReader::finishNote(const ParaState& last)
{
    finishFlow(last);
    m_flow = std::move(m_outerFlow);
    m_outerFlow = Flow{};
    m_flow.formatDirty = true;
    m_inNote = false;
}

} // namespace quillory::rtf::detail
