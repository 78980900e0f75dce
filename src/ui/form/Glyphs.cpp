#include "ui/form/Glyphs.h"

#include <QApplication>
#include <QColor>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <array>
#include <initializer_list>

// The resources live in a static library; nothing else references their object file, so the
// linker would drop it unless it is pulled in by name. The macro may not sit in a namespace.
static void initGlyphResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace quillory {
namespace {

constexpr std::size_t kGlyphCount = static_cast<std::size_t>(GlyphId::Tray) + 1;

// In the order of GlyphId; resources/make-glyphs.py draws them.
constexpr std::array<const char*, kGlyphCount> kNames = {
    "save",         "open",        "add-item", "remove-item", "rename",   "copy",    "print", "align-left",
    "align-centre", "align-right", "bullet",   "overview",    "help-off", "help-on", "tray",
};

// Screen scales each toolbar picture was drawn for.
constexpr std::array<double, 4> kScales = {1.0, 1.5, 2.0, 3.0};

void registerResources()
{
    // Only the user-interface thread asks for pictures.
    static const bool registered = (initGlyphResources(), true);
    (void)registered;
}

QString drawingPath(GlyphId id, int side, bool ink)
{
    return QStringLiteral(":/glyphs/%1-%2%3.png")
        .arg(QLatin1String(kNames.at(static_cast<std::size_t>(id))))
        .arg(side)
        .arg(ink ? QStringLiteral(".ink") : QString());
}

// The colour layer with the ink mask filled in `ink`. The drawer leaves the ink's share of each
// pixel out of the colour layer, so the two add up to the picture.
QImage compose(const QImage& colours, const QImage& mask, const QColor& ink)
{
    QImage out = colours.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return out;
    const QImage coverage = mask.convertToFormat(QImage::Format_ARGB32);
    const int r = ink.red();
    const int g = ink.green();
    const int b = ink.blue();
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* cover = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int k = qAlpha(cover[x]);
            if (k == 0)
                continue;
            const QRgb p = line[x];
            const auto add = [k](int base, int tint) { return std::min(255, base + (tint * k + 127) / 255); };
            line[x] = qRgba(add(qRed(p), r), add(qGreen(p), g), add(qBlue(p), b), std::min(255, qAlpha(p) + k));
        }
    }
    return out;
}

// A toolbar picture: the drawing made for the device size asked for, its ink in the palette's
// colour for the mode, composed when asked for and kept per size, mode and colour.
class GlyphEngine final : public QIconEngine {
public:
    explicit GlyphEngine(GlyphId id) : m_id(id) {}

    QIconEngine* clone() const override { return new GlyphEngine(m_id); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = scaledPixmap(rect.size(), mode, state, ratio);
        painter->drawPixmap(rect, picture);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` is in device pixels: QIcon multiplies by the scale before it asks.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal) override
    {
        const QColor ink = inkFor(mode);
        const QString key =
            QStringLiteral("%1x%2/%3/%4").arg(size.width()).arg(size.height()).arg(mode).arg(ink.rgba());
        if (const auto found = m_cache.constFind(key); found != m_cache.constEnd())
            return *found;
        QPixmap picture = QPixmap::fromImage(drawingFor(size, ink));
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        if (m_cache.size() > 64) // palettes and sizes come and go; a handful are in use at once
            m_cache.clear();
        m_cache.insert(key, picture);
        return picture;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const QSize base = glyphSize(m_id);
        return base.scaled(size, Qt::KeepAspectRatio).boundedTo(size);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const double scale : kScales)
            sizes.append(glyphSize(m_id) * scale);
        return sizes;
    }

    QString key() const override { return QStringLiteral("quillory-glyph"); }

private:
    static QColor inkFor(QIcon::Mode mode)
    {
        const QPalette palette = QApplication::palette();
        switch (mode) {
        case QIcon::Disabled:
            return palette.color(QPalette::Disabled, QPalette::ButtonText);
        case QIcon::Selected:
            return palette.color(QPalette::Active, QPalette::HighlightedText);
        default:
            return palette.color(QPalette::Active, QPalette::ButtonText);
        }
    }

    // The drawing of the nearest size at or above the one asked for (else the largest), resampled
    // only when no drawing has that size.
    QImage drawingFor(const QSize& size, const QColor& ink) const
    {
        const int want = std::max(size.width(), size.height());
        const int base = glyphSize(m_id).width();
        int side = static_cast<int>(base * kScales.back());
        for (const double scale : kScales) {
            const int candidate = static_cast<int>(base * scale);
            if (candidate >= want) {
                side = candidate;
                break;
            }
        }
        QImage image = glyphDrawing(m_id, side, ink);
        if (image.size() != size)
            image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return image;
    }

    GlyphId m_id;
    QHash<QString, QPixmap> m_cache;
};

QIcon load(GlyphId id)
{
    if (id != GlyphId::Tray)
        return QIcon(new GlyphEngine(id));
    // The tray's background is the panel's, which the palette does not tell: fixed colours.
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64})
        icon.addFile(QStringLiteral(":/glyphs/tray-%1.png").arg(side), QSize(side, side));
    return icon;
}

} // namespace

QSize glyphSize(GlyphId id)
{
    if (id == GlyphId::HelpOff || id == GlyphId::HelpOn)
        return {20, 20};
    return {16, 16};
}

QImage glyphDrawing(GlyphId id, int side, const QColor& ink)
{
    registerResources();
    if (id == GlyphId::Tray)
        return {};
    const QImage colours(drawingPath(id, side, false));
    if (colours.isNull())
        return {};
    return compose(colours, QImage(drawingPath(id, side, true)), ink);
}

QIcon Glyph(GlyphId id)
{
    registerResources();
    static std::array<QIcon, kGlyphCount> cache;
    QIcon& icon = cache.at(static_cast<std::size_t>(id));
    if (icon.isNull())
        icon = load(id);
    return icon;
}

} // namespace quillory
