#pragma once

#include "search/PageIndex.h"

#include <QListWidget>

namespace quillory {

// The items a search found, best first: each row the item's name and, under it, its text around
// the first match with the matched words in bold. Shown in the item list's place while a search
// is; the list itself, its order and its rows stay as they are.
class SearchResults final : public QListWidget {
    Q_OBJECT
public:
    explicit SearchResults(QWidget* parent = nullptr);

    void showHits(const std::vector<search::Hit>& hits);
    // The item of `row`, empty past the end.
    [[nodiscard]] std::u16string name(int row) const;

    static constexpr int kSnippetRole = Qt::UserRole + 1;

signals:
    // Enter, or a click on a row.
    void opened(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quillory
