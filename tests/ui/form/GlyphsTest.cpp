#include "ui/form/Glyphs.h"

#include "ui/access/Contrast.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>

#include <gtest/gtest.h>

#include <array>

using namespace quillory;

namespace {

constexpr std::array<double, 4> kScales = {1.0, 1.5, 2.0, 3.0};

std::vector<GlyphId> toolbarGlyphs()
{
    std::vector<GlyphId> ids;
    for (int i = 0; i < static_cast<int>(GlyphId::Tray); ++i)
        ids.push_back(static_cast<GlyphId>(i));
    return ids;
}

// The share of a picture's outer solid ring (its fully opaque pixels next to a less opaque one)
// that stands at least 3:1 against `background`: whether its shape can be told from the theme.
double readableEdge(const QImage& picture, const QColor& background)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const auto solid = [&image](int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qAlpha(image.pixel(x, y)) >= 242;
    };
    int edge = 0;
    int readable = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (!solid(x, y))
                continue;
            bool outer = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    outer = outer || !solid(x + dx, y + dy);
            if (!outer)
                continue;
            ++edge;
            readable += contrastRatio(QColor::fromRgb(image.pixel(x, y)), background) >= kShapeContrast ? 1 : 0;
        }
    return edge == 0 ? 0.0 : static_cast<double>(readable) / edge;
}

} // namespace

TEST(Glyphs, EveryGlyphLoadsAVisiblePictureOfItsSize)
{
    for (int i = 0; i <= static_cast<int>(GlyphId::Tray); ++i) {
        const auto id = static_cast<GlyphId>(i);
        SCOPED_TRACE(i);
        const QIcon icon = Glyph(id);
        ASSERT_FALSE(icon.isNull());
        const QSize size = glyphSize(id);
        EXPECT_TRUE(icon.availableSizes().contains(size));
        const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.size(), size);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        // A picture, not a blank or a filled square.
        EXPECT_GT(opaque, image.width() * image.height() / 8);
        EXPECT_LT(opaque, image.width() * image.height());
    }
    EXPECT_EQ(glyphSize(GlyphId::HelpOff), QSize(20, 20));
    EXPECT_EQ(glyphSize(GlyphId::Save), QSize(16, 16));
    const QList<QSize> traySizes = Glyph(GlyphId::Tray).availableSizes();
    for (const int side : {16, 24, 32, 48}) // the tray at screen scales 1, 1.5, 2 and 3
        EXPECT_TRUE(traySizes.contains(QSize(side, side))) << side;
}

TEST(Glyphs, HelpPicturesDifferAndRepeatedCallsShareOneIcon)
{
    const QImage off = Glyph(GlyphId::HelpOff).pixmap(20, 20).toImage();
    const QImage on = Glyph(GlyphId::HelpOn).pixmap(20, 20).toImage();
    EXPECT_NE(off, on);
    EXPECT_EQ(Glyph(GlyphId::Print).cacheKey(), Glyph(GlyphId::Print).cacheKey());
}

// A screen at 1.5 or 2 times gets a picture drawn for its pixels, not one stretched from the
// 16-pixel drawing (which would be soft).
TEST(Glyphs, EachScreenScaleGetsTheDrawingMadeForIt)
{
    const QColor ink = QApplication::palette().color(QPalette::Active, QPalette::ButtonText);
    for (const GlyphId id : toolbarGlyphs())
        for (const double scale : kScales) {
            SCOPED_TRACE(testing::Message() << "glyph " << static_cast<int>(id) << " at " << scale);
            const QSize size = glyphSize(id);
            const QPixmap shown = Glyph(id).pixmap(size, scale);
            EXPECT_EQ(shown.size(), size * scale);
            EXPECT_DOUBLE_EQ(shown.devicePixelRatio(), scale);
            const QImage drawn = glyphDrawing(id, static_cast<int>(size.width() * scale), ink);
            ASSERT_FALSE(drawn.isNull());
            EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), drawn);
        }
}

TEST(Glyphs, OutlinesReadOnLightAndDarkThemes)
{
    struct Theme {
        const char* name;
        QColor background; // the toolbar's
        QColor text;       // the palette's button text, the glyphs' ink
    };
    const std::array<Theme, 3> themes{{{"light", QColor(0xef, 0xef, 0xef), Qt::black},
                                       {"dark", QColor(0x35, 0x35, 0x35), Qt::white},
                                       {"blue-grey dark", QColor(0x31, 0x36, 0x3b), QColor(0xfc, 0xfc, 0xfc)}}};
    for (const Theme& theme : themes)
        for (const GlyphId id : toolbarGlyphs())
            for (const double scale : kScales) {
                SCOPED_TRACE(testing::Message() << theme.name << ", glyph " << static_cast<int>(id) << " at " << scale);
                const QImage drawn = glyphDrawing(id, static_cast<int>(glyphSize(id).width() * scale), theme.text);
                // Most of the outline stands out; the rest is colour detail inside it.
                EXPECT_GE(readableEdge(drawn, theme.background), 0.6);
            }
}

TEST(Glyphs, TheInkFollowsThePaletteWhenPainted)
{
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::ButtonText, QColor(0xfc, 0xfc, 0xfc));
    QApplication::setPalette(dark);
    const QImage shown = Glyph(GlyphId::AlignLeft).pixmap(16, 16).toImage();
    QApplication::setPalette(before);
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              glyphDrawing(GlyphId::AlignLeft, 16, QColor(0xfc, 0xfc, 0xfc)));
    EXPECT_NE(Glyph(GlyphId::AlignLeft).pixmap(16, 16).toImage(), shown);
}
