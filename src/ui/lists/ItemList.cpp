#include "ui/lists/ItemList.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <utility>

namespace quillory {

namespace {

const QString kEntryFormat = QStringLiteral("application/x-quillory-list-entry");

} // namespace

ItemList::ItemList(QWidget* parent) : QListWidget(parent)
{
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(false);
    // Every row is one line: laid out from the first row's size instead of measuring thousands.
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (row(item) == m_rowAtPress)
            emit currentRowClicked();
    });
}

void ItemList::setDragHandlers(std::function<bool(QObject*)> over, std::function<void(QPoint)> drop)
{
    m_over = std::move(over);
    m_drop = std::move(drop);
}

QByteArray ItemList::token() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(this), 16);
}

std::unique_ptr<QMimeData> ItemList::dragMimeData() const
{
    auto carried = std::make_unique<QMimeData>();
    carried->setData(kEntryFormat, token());
    return carried;
}

void ItemList::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier) ||
        (key == Qt::Key_Tab && modifiers == Qt::ControlModifier)) {
        event->accept();
        emit entered();
        return;
    }
    const bool wasStepping = std::exchange(m_steppingByKeys, true);
    QListWidget::keyPressEvent(event);
    m_steppingByKeys = wasStepping;
}

void ItemList::mousePressEvent(QMouseEvent* event)
{
    m_rowAtPress = currentRow();
    emit pressed(event->button(), event->position().toPoint());
    // Only the left button selects; the list has no use for the others (the window records every
    // press for the drags).
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    // Qt makes a pressed row current before it selects it, and the item switch that follows the
    // current row then finds nothing selected. Selecting and making current in one step, as the
    // keys do, switches on the press; a switch that is refused leaves the list where it was.
    const int pressed = indexAt(event->position().toPoint()).row();
    if (pressed >= 0 && pressed != currentRow()) {
        setCurrentRow(pressed);
        if (currentRow() != pressed)
            return;
    }
    QListWidget::mousePressEvent(event);
}

void ItemList::startDrag(Qt::DropActions)
{
    // The drop handler moves the entry; whatever the drag reports afterwards changes nothing.
    auto* drag = new QDrag(this);
    drag->setMimeData(dragMimeData().release());
    (void)drag->exec(Qt::MoveAction);
}

bool ItemList::accepts(const QDropEvent& event) const
{
    QObject* source = event.source();
    if (source == nullptr && event.mimeData() != nullptr && event.mimeData()->data(kEntryFormat) == token())
        source = const_cast<ItemList*>(this);
    return m_over && m_over(source);
}

void ItemList::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void ItemList::dragMoveEvent(QDragMoveEvent* event)
{
    if (!accepts(*event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ItemList::dropEvent(QDropEvent* event)
{
    if (!accepts(*event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (m_drop)
        m_drop(event->position().toPoint());
}

} // namespace quillory
