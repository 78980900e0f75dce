#pragma once

#include <QStyle>
#include <QStyledItemDelegate>

#include <functional>

class QPainter;

namespace quillory {

// Rows of one fixed height, each painted by a callback (the window's DrawItem handlers). Only the
// rows the view shows are ever painted; the width hint is nil so a list never scrolls sideways.
class OwnerDrawDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    // `row` from 0, `rect` in the view's viewport, `state` the view's state flags of the row.
    using DrawRow = std::function<void(QPainter& painter, int row, const QRect& rect, QStyle::State state)>;

    OwnerDrawDelegate(int rowHeight, DrawRow draw, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_rowHeight;
    DrawRow m_draw;
};

} // namespace quillory
