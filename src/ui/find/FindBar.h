#pragma once

#include "ui/find/PageFind.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTextEdit;
class QTimer;
class QToolButton;

namespace quillory {

// The find bar under the editor: a word found in the page shown, every match highlighted, the
// caret taken from match to match. Highlights are the editor's extra selections, never an edit
// of the page.
class FindBar final : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QTextEdit& editor, QWidget* parent = nullptr);

    // Shows the bar with `words` (when given) in its field and the first match from the caret
    // selected; the field gets the focus, with its text selected, unless `focusField` is false.
    void open(const QString& words = {}, bool focusField = true);
    // Hides the bar and its highlights; the editor gets the focus.
    void close();

    void findNext();
    void findPrevious();
    // The highlights again, after the page changed; the caret stays.
    void rehighlight();

    // The most matches highlighted at once, around the current one; the count is of them all.
    static constexpr int kMostHighlights = 2000;

    QLineEdit* FindText;
    QToolButton* FindPrevious;
    QToolButton* FindNext;
    QCheckBox* FindMatchCase;
    QCheckBox* FindWholeWords;
    QLabel* FindCount;
    QToolButton* FindClose;

signals:
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    [[nodiscard]] FindOptions options() const;
    // Selects match `index` of the last look and shows it.
    void select(int index);
    // The highlights and the count for the match `current` (-1: none is current).
    void mark(int current);
    // The match the editor's selection is, or -1.
    [[nodiscard]] int currentMatch();
    // Looks for the field's words from the caret onwards (typing in the field).
    void search();

    QTextEdit& m_editor;
    PageFind m_find;
    QTimer* m_changed; // the page changed since it was last marked
};

} // namespace quillory
