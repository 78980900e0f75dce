#include "core/rtf/RtfReader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

// Pictures, also those of shapes, and the runs that hold them and note references.
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

// The end of the text starting at `pos`: eight bytes at a time while none of them ends it. Pictures
// are megabytes of hex in lines of a hundred or so digits.
std::size_t textEnd(const char* data, std::size_t pos, std::size_t n) noexcept
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const auto hasZero = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighs; };
    if constexpr (std::endian::native == std::endian::little) {
        while (pos + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, data + pos, 8);
            const std::uint64_t stop = hasZero(w ^ ('\\' * kOnes)) | hasZero(w ^ ('{' * kOnes)) |
                                       hasZero(w ^ ('}' * kOnes)) | hasZero(w ^ ('\r' * kOnes)) |
                                       hasZero(w ^ ('\n' * kOnes));
            // Borrows only run upwards, so the lowest flagged byte is the first that ends the text.
            if (stop != 0)
                return pos + static_cast<std::size_t>(std::countr_zero(stop)) / 8;
            pos += 8;
        }
    }
    while (pos < n && !endsText(data[pos]))
        ++pos;
    return pos;
}

int positive(int value) noexcept
{
    return std::max(value, 0);
}

// far - near, at least 0, without overflow for parameters at the ends of int's range.
int extent(int near, int far) noexcept
{
    const std::int64_t d = std::int64_t{far} - near;
    return static_cast<int>(std::clamp<std::int64_t>(d, 0, std::numeric_limits<int>::max()));
}

} // namespace

void RtfReader::pictureWord(Group& g, Keyword k, bool hasParam, int param)
{
    const bool picture = g.dest == Dest::Picture;
    const bool shape = g.dest == Dest::Shape;
    switch (k) {
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
    const std::size_t end = textEnd(data, m_pos, n);
    std::string& out = m_picture.data;
    if (out.empty()) {
        // Room for all the hex up to the group's end at once: a picture of megabytes would otherwise
        // be copied as it grows, in lines of a few dozen bytes.
        const std::size_t close = m_in.find('}', m_pos);
        out.reserve(((close == std::string_view::npos ? n : close) - m_pos) / 2 + 1);
    }
    const std::size_t before = out.size();
    out.resize(before + (end - m_pos) / 2 + 1);
    char* o = out.data() + before;
    int high = m_pictureNibble;
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    for (std::size_t p = m_pos; p < end;) {
        // Eight digits at a time while they are all digits and no byte is half done.
        if (high < 0 && end - p >= 8) {
            int v[8];
            int any = 0;
            for (int i = 0; i < 8; ++i) {
                v[i] = kNibble[in[p + static_cast<std::size_t>(i)]];
                any |= v[i];
            }
            if (any >= 0) {
                for (int i = 0; i < 4; ++i)
                    o[i] = static_cast<char>(v[2 * i] << 4 | v[2 * i + 1]);
                o += 4;
                p += 8;
                continue;
            }
        }
        const int v = kNibble[in[p++]];
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
        m_picture.goalWidth = extent(m_shapeLeft, m_shapeRight);
        m_picture.goalHeight = extent(m_shapeTop, m_shapeBottom);
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

} // namespace quillory::rtf::detail
