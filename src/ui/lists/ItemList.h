#pragma once

#include <QListWidget>

#include <functional>
#include <memory>

class QMimeData;

namespace quillory {

// The item list `LB`. Its entries are dragged within the list to reorder them; the window decides,
// through two handlers, which drags the list accepts and what a drop does. Qt's own moving of
// rows is not used.
class ItemList final : public QListWidget {
    Q_OBJECT
public:
    explicit ItemList(QWidget* parent = nullptr);

    // `over` answers whether a drag from `source` may drop here; `drop` gets the drop point, in
    // the viewport's coordinates.
    void setDragHandlers(std::function<bool(QObject* source)> over, std::function<void(QPoint at)> drop);

    // What a drag from this list carries: a format naming this list in this process, so that
    // the drag is known as the list's own also where the platform does not report its source.
    [[nodiscard]] std::unique_ptr<QMimeData> dragMimeData() const;

    // True while the list handles a key of its own (the arrows, Page Up, Home, ...): a row change
    // then is the user stepping through the list, who keeps the keyboard focus here.
    [[nodiscard]] bool steppingByKeys() const noexcept { return m_steppingByKeys; }

signals:
    // Any button went down at `at` (the viewport's coordinates), before the list acts on it.
    void pressed(Qt::MouseButton button, QPoint at);
    // A click on the row that was already current: no row change follows, yet the user chose it.
    void currentRowClicked();
    // Enter or Ctrl+Tab: the user is done choosing and goes on to the item's page.
    void entered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    [[nodiscard]] bool accepts(const QDropEvent& event) const;
    [[nodiscard]] QByteArray token() const;

    std::function<bool(QObject*)> m_over;
    std::function<void(QPoint)> m_drop;
    int m_rowAtPress = -1; // the current row when the mouse went down
    bool m_steppingByKeys = false;
};

} // namespace quillory
