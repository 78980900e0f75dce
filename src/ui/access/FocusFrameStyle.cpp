#include "ui/access/FocusFrameStyle.h"

#include "ui/access/Contrast.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPen>
#include <QStyleOption>

namespace quillory {

FocusFrameStyle::FocusFrameStyle(QStyle* base) : QProxyStyle(base)
{
}

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    if (element != PE_FrameFocusRect || option == nullptr || painter == nullptr) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // A button's mark goes round the button, not round its picture.
    const QRect area = qobject_cast<const QAbstractButton*>(widget) != nullptr ? widget->rect() : option->rect;
    const QPalette& palette = option->palette;
    const QColor mark = readableOn(palette.color(QPalette::Highlight), palette.color(QPalette::Window), kShapeContrast);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    QPen pen(mark, 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter->setPen(pen);
    painter->drawRect(QRectF(area).adjusted(1, 1, -1, -1));
    painter->restore();
}

} // namespace quillory
