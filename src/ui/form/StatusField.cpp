#include "ui/form/StatusField.h"

#include <QFontMetrics>

#include <algorithm>
#include <utility>

namespace quillory {

StatusField::StatusField(const QString& text, int designWidth, QString widest, QWidget* parent)
    : QLabel(text, parent), m_designWidth(designWidth), m_widest(std::move(widest))
{
}

QSize StatusField::sizeHint() const
{
    // A few pixels either side, as the design leaves them.
    const int needed = fontMetrics().horizontalAdvance(m_widest) + 2 * (margin() + frameWidth() + 3);
    return {std::max(m_designWidth, needed), QLabel::sizeHint().height()};
}

QSize StatusField::minimumSizeHint() const
{
    return sizeHint();
}

} // namespace quillory
