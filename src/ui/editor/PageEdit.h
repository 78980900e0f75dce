#pragma once

#include <QTextEdit>

namespace quillory {

// The page editor: copies and drags carry the page's own RTF next to HTML and plain text, and a
// paste prefers RTF (read by the page reader, formatting kept), then HTML, then plain text. Drops
// take the same path. Pictures named by pasted or dropped rich text load only from the text itself
// (data: URIs) and the program's own resources, never from a file of the disk (a pipe or /dev/zero
// would hang the program, a private picture would join a shared page) or the network.
class PageEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit PageEdit(QWidget* parent = nullptr);

protected:
    [[nodiscard]] QMimeData* createMimeDataFromSelection() const override;
    [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Draws the bullets of list levels that Qt has no style for, where Qt would draw its own.
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillory
