#pragma once

#include <QTextEdit>

namespace quillory {

// The page editor: copies and drags carry the page's own RTF next to HTML and plain text, and a
// paste prefers RTF (read by the page reader, formatting kept), then HTML, then plain text. Drops
// take the same path. Pictures named by pasted or dropped rich text load only from the text itself
// (data: URIs) and the program's own resources, never from a file of the disk (a pipe or /dev/zero
// would hang the program, a private picture would join a shared page) or the network.
//
// Its input reaches the window as these signals, each at one defined moment, so that what a key
// or a click does never depends on the order in which anything was connected.
class PageEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit PageEdit(QWidget* parent = nullptr);

signals:
    // A key that types `character` (Enter, Tab and Backspace too), before the editor takes it.
    void characterTyped(QChar character);
    // A press with Ctrl held that is no hyperlink's, after the editor has put the caret there.
    void ctrlPressed(Qt::KeyboardModifiers modifiers);
    // A Ctrl+left click on a hyperlink of the page: the editor neither moves the caret nor acts.
    void hyperlinkClicked(const QString& target);
    // The left button went up, after the editor took it (a click in a selection moves the caret then).
    void leftReleased();
    // A key is about to be matched against the shortcuts of the editor's own actions (added with
    // `addAction`): handlers bring the actions' enabled state up to date. An enabled action's
    // shortcut then runs the action instead of the editor's own binding of that key.
    void shortcutPending();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    [[nodiscard]] QMimeData* createMimeDataFromSelection() const override;
    [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Draws the bullets of list levels that Qt has no style for, where Qt would draw its own.
    void paintEvent(QPaintEvent* event) override;

private:
    // A Ctrl+left press on a hyperlink is its click, also when it comes quickly after another
    // (Qt then reports a double click).
    bool takeHyperlinkClick(QMouseEvent* event);
};

} // namespace quillory
