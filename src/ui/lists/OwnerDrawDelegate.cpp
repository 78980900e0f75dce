#include "ui/lists/OwnerDrawDelegate.h"

#include <QPainter>

#include <utility>

namespace quillory {

OwnerDrawDelegate::OwnerDrawDelegate(int rowHeight, DrawRow draw, QObject* parent)
    : QStyledItemDelegate(parent), m_rowHeight(rowHeight), m_draw(std::move(draw))
{
}

void OwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    try {
        m_draw(*painter, index.row(), option.rect, option.state);
    } catch (...) {
        // A row that cannot be drawn stays as far as it got; a box from inside a paint would only
        // be painted over by the next one.
    }
    painter->restore();
}

QSize OwnerDrawDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {1, m_rowHeight};
}

} // namespace quillory
