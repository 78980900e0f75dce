#pragma once

#include <QTextEdit>

namespace quillory {

// The page editor: copies and drags carry the page's own RTF next to HTML and plain text, and a
// paste prefers RTF (read by the page reader, formatting kept), then HTML, then plain text. Drops
// take the same path.
class PageEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit PageEdit(QWidget* parent = nullptr);

protected:
    [[nodiscard]] QMimeData* createMimeDataFromSelection() const override;
    [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace quillory
