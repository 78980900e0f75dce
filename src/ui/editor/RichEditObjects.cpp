#include "ui/editor/RichEditParts.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextListFormat>
#include <QTextObjectInterface>
#include <QUrl>

namespace quillory::richedit::detail {

namespace {

// Draws what Qt has no format for: hidden text takes no room; a note's number is drawn small and
// raised, as word processors show it.
class PageObjects final : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat& format) override
    {
        if (format.objectType() == kHiddenObject)
            return {0, 0};
        const QFont base = format.toCharFormat().font();
        return {QFontMetricsF(smaller(base)).horizontalAdvance(label(format)), QFontMetricsF(base).ascent()};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat& format) override
    {
        if (format.objectType() == kHiddenObject)
            return;
        const QFont font = smaller(format.toCharFormat().font());
        painter->save();
        painter->setFont(font);
        painter->drawText(QPointF(rect.left(), rect.top() + QFontMetricsF(font).ascent()), label(format));
        painter->restore();
    }

private:
    static QFont smaller(QFont font)
    {
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * 0.7);
        else if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, font.pixelSize() * 7 / 10));
        return font;
    }

    static QString label(const QTextFormat& format)
    {
        const QString number = QString::number(format.intProperty(kNoteNumber));
        return format.objectType() == kNoteLabel ? number + QStringLiteral("  ") : number;
    }
};

// 100 megapixels, 400 MB decoded: more than any camera takes.
constexpr qint64 kMaxPicturePixels = 100'000'000;
// Pixels; beyond this a picture is no longer seen whole on any screen.
constexpr double kMaxShownSide = 20000;

int positive(double value)
{
    return value > 0 ? static_cast<int>(std::lround(std::min(value, 1e6))) : 0;
}

// What a picture that cannot be shown looks like: a light box with a frame, scaled to its size.
QImage box()
{
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setPen(QColor(150, 150, 150));
    painter.drawRect(0, 0, 47, 47);
    painter.drawLine(0, 0, 47, 47);
    painter.drawLine(0, 47, 47, 0);
    return image;
}

QTextListFormat::Style styleOf(rtf::ListKind kind)
{
    switch (kind) {
    case rtf::ListKind::Bullet:
        return QTextListFormat::ListDisc;
    case rtf::ListKind::LowerLetter:
        return QTextListFormat::ListLowerAlpha;
    case rtf::ListKind::UpperLetter:
        return QTextListFormat::ListUpperAlpha;
    case rtf::ListKind::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case rtf::ListKind::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case rtf::ListKind::None:
    case rtf::ListKind::Decimal:
        break;
    }
    return QTextListFormat::ListDecimal;
}

} // namespace

void registerObjects(QTextDocument& document)
{
    if (document.findChild<PageObjects*>(QString(), Qt::FindDirectChildrenOnly) != nullptr)
        return;
    auto* objects = new PageObjects(&document);
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (const int type : {kHiddenObject, kNoteReference, kNoteLabel})
        layout->registerHandler(type, objects);
}

QTextImageFormat pictureFormat(const rtf::Picture& picture, QTextDocument& document)
{
    static std::atomic<int> serial{0};
    const QString name = QStringLiteral("quillory-picture:%1").arg(++serial);
    const QByteArray data(picture.data.data(), static_cast<qsizetype>(picture.data.size()));
    QImage image;
    if (picture.kind == rtf::PictureKind::Png || picture.kind == rtf::PictureKind::Jpeg) {
        // A few bytes of PNG can claim gigapixels: the header is read first, and a picture larger
        // than any camera's is shown as a box (and kept as it came).
        QBuffer bytes;
        bytes.setData(data);
        bytes.open(QIODevice::ReadOnly);
        QImageReader reader(&bytes, picture.kind == rtf::PictureKind::Png ? "PNG" : "JPG");
        const QSize size = reader.size();
        if (size.isValid() && static_cast<qint64>(size.width()) * size.height() <= kMaxPicturePixels)
            image = reader.read();
    }
    // The page's size in twips, at 96 pixels per inch, within what a page can show.
    double width = std::min(rtf::DisplayWidth(picture) / 15.0, kMaxShownSide);
    double height = std::min(rtf::DisplayHeight(picture) / 15.0, kMaxShownSide);
    if (!image.isNull() && (width <= 0 || height <= 0)) {
        width = std::min<double>(image.width(), kMaxShownSide);
        height = std::min<double>(image.height(), kMaxShownSide);
    }
    if (image.isNull())
        image = box();
    document.addResource(QTextDocument::ImageResource, QUrl(name), image);

    QTextImageFormat format;
    format.setName(name);
    format.setWidth(width > 0 ? width : 32);
    format.setHeight(height > 0 ? height : 32);
    format.setProperty(kPictureKind, static_cast<int>(picture.kind));
    format.setProperty(kPictureParam, picture.kindParam);
    format.setProperty(kPictureWidth, picture.width);
    format.setProperty(kPictureHeight, picture.height);
    format.setProperty(kPictureGoalWidth, picture.goalWidth);
    format.setProperty(kPictureGoalHeight, picture.goalHeight);
    format.setProperty(kPictureScaleX, picture.scaleX);
    format.setProperty(kPictureScaleY, picture.scaleY);
    format.setProperty(kPictureData, data);
    return format;
}

std::optional<rtf::Picture> pictureOf(const QTextImageFormat& format, const QTextDocument* document)
{
    rtf::Picture picture;
    if (format.hasProperty(kPictureData)) {
        const int kind = format.intProperty(kPictureKind);
        picture.kind = kind >= 0 && kind <= static_cast<int>(rtf::PictureKind::Os2Metafile)
                           ? static_cast<rtf::PictureKind>(kind)
                           : rtf::PictureKind::Unknown;
        picture.kindParam = format.intProperty(kPictureParam);
        picture.width = format.intProperty(kPictureWidth);
        picture.height = format.intProperty(kPictureHeight);
        picture.goalWidth = format.intProperty(kPictureGoalWidth);
        picture.goalHeight = format.intProperty(kPictureGoalHeight);
        picture.scaleX = format.intProperty(kPictureScaleX);
        picture.scaleY = format.intProperty(kPictureScaleY);
        const QByteArray data = format.property(kPictureData).toByteArray();
        picture.data.assign(data.constData(), static_cast<std::size_t>(data.size()));
        return picture;
    }
    // An image pasted from elsewhere: kept as PNG when its document holds it.
    if (document == nullptr || format.name().isEmpty())
        return std::nullopt;
    const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.canConvert<QImage>())
        image = resource.value<QImage>();
    else if (resource.canConvert<QPixmap>())
        image = resource.value<QPixmap>().toImage();
    else if (resource.canConvert<QByteArray>())
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return std::nullopt;
    picture.kind = rtf::PictureKind::Png;
    picture.width = image.width();
    picture.height = image.height();
    picture.goalWidth = positive((format.width() > 0 ? format.width() : image.width()) * 15);
    picture.goalHeight = positive((format.height() > 0 ? format.height() : image.height()) * 15);
    picture.data.assign(png.constData(), static_cast<std::size_t>(png.size()));
    return picture;
}

QTextListFormat listLevelFormat(const rtf::List& list, std::size_t level, int id)
{
    QStringList levels;
    for (const rtf::ListLevel& each : list.levels) {
        QString text = QStringLiteral("%1:%2").arg(static_cast<int>(each.kind)).arg(each.start);
        if (each.kind == rtf::ListKind::Bullet && each.bullet != rtf::kDefaultBullet)
            text += QStringLiteral(":%1").arg(static_cast<int>(each.bullet));
        levels << text;
    }
    QTextListFormat format;
    format.setStyle(level < list.levels.size() ? styleOf(list.levels[level].kind) : QTextListFormat::ListDecimal);
    if (level < list.levels.size() && list.levels[level].kind == rtf::ListKind::Bullet) {
        // Qt draws three bullets of its own; any other the editor draws (PageEdit), as written.
        switch (const char16_t bullet = list.levels[level].bullet) {
        case rtf::kDefaultBullet:
            break;
        case u'\u25E6':
            format.setStyle(QTextListFormat::ListCircle);
            break;
        case u'\u25AA':
        case u'\u25A0':
            format.setStyle(QTextListFormat::ListSquare);
            break;
        default:
            format.setStyle(QTextListFormat::ListStyleUndefined);
            format.setProperty(kListBullet, QString(QChar(bullet)));
            break;
        }
    }
    format.setIndent(static_cast<int>(std::min<std::size_t>(level, 30)) + 1);
    format.setProperty(kListId, id);
    format.setProperty(kListLevel, static_cast<int>(level));
    format.setProperty(kListLevels, levels.join(QLatin1Char(',')));
    return format;
}

std::optional<rtf::List> listOf(const QTextListFormat& format)
{
    if (!format.hasProperty(kListLevels))
        return std::nullopt;
    rtf::List list;
    for (const QString& each : format.stringProperty(kListLevels).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = each.split(QLatin1Char(':'));
        const int kind = parts.value(0).toInt();
        const int bullet = parts.size() == 3 ? parts[2].toInt() : rtf::kDefaultBullet;
        if (parts.size() < 2 || parts.size() > 3 || kind < 0 || kind > static_cast<int>(rtf::ListKind::UpperRoman) ||
            bullet < 0x20 || bullet > 0xFFFF)
            return std::nullopt;
        list.levels.push_back(
            rtf::ListLevel{static_cast<rtf::ListKind>(kind), parts[1].toInt(), static_cast<char16_t>(bullet)});
    }
    if (list.levels.empty())
        return std::nullopt;
    return list;
}

} // namespace quillory::richedit::detail

#include "RichEditObjects.moc"
