#include "ui/access/FocusFrameStyle.h"

#include "ui/access/Contrast.h"

#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>

using namespace quillory;

namespace {

// The focus mark as the style paints it for `widget` on a `size` canvas of the window's colour.
QImage focusMark(const QStyle& style, const QPalette& palette, QWidget& widget, const QRect& rect, QSize size)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(palette.color(QPalette::Window));
    QPainter painter(&canvas);
    QStyleOptionFocusRect option;
    option.initFrom(&widget);
    option.palette = palette;
    option.rect = rect;
    style.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, &widget);
    return canvas;
}

} // namespace

TEST(FocusFrameStyle, TheMarkStandsOutOnLightAndDarkThemesRoundTheWholeButton)
{
    struct Theme {
        const char* name;
        QColor window;
        QColor highlight;
    };
    const std::array<Theme, 3> themes{{{"light", QColor(0xef, 0xef, 0xef), QColor(0x30, 0x8c, 0xc6)},
                                       {"dark", QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x82, 0xda)},
                                       {"pale highlight", QColor(0xef, 0xef, 0xef), QColor(0xcc, 0xe8, 0xff)}}};
    FocusFrameStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    QToolButton button;
    button.resize(20, 22);
    for (const Theme& theme : themes) {
        SCOPED_TRACE(theme.name);
        QPalette palette;
        palette.setColor(QPalette::Window, theme.window);
        palette.setColor(QPalette::Highlight, theme.highlight);
        // Styles hand a button's mark a rectangle inside it; the mark goes round the button.
        const QImage image = focusMark(style, palette, button, QRect(3, 3, 14, 16), button.size());
        for (const QPoint edge : {QPoint(0, 11), QPoint(1, 11), QPoint(19, 11), QPoint(10, 0), QPoint(10, 21)})
            EXPECT_GE(contrastRatio(image.pixelColor(edge), theme.window), kShapeContrast)
                << "at " << edge.x() << "," << edge.y();
        EXPECT_EQ(image.pixelColor(10, 11), theme.window) << "the picture inside stays clear";
    }
}

TEST(FocusFrameStyle, EverythingElseIsTheBaseStyles)
{
    FocusFrameStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    QToolButton button;
    button.resize(40, 20);
    QStyleOptionFrame option;
    option.initFrom(&button);
    option.rect = button.rect();
    const auto paint = [&](const QStyle& painter) {
        QImage canvas(button.size(), QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        painter.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &p, &button);
        return canvas;
    };
    EXPECT_EQ(paint(style), paint(*fusion));
}
