#include "ui/find/FindBar.h"

#include "ui/access/AccessibleLabels.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace quillory {

namespace {

QToolButton* button(QWidget* parent, const char* name, Qt::ArrowType arrow, const QString& tip)
{
    auto* made = new QToolButton(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setArrowType(arrow);
    made->setAutoRaise(true);
    made->setToolTip(tip);
    made->setAccessibleName(tip);
    return made;
}

} // namespace

FindBar::FindBar(QTextEdit& editor, QWidget* parent) : QWidget(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("FindBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);

    FindText = new QLineEdit(this);
    FindText->setObjectName(QStringLiteral("FindText"));
    FindText->setPlaceholderText(QStringLiteral("Find in page"));
    FindText->setAccessibleName(QStringLiteral("Find in page"));
    enableNamedClearButton(*FindText);
    FindPrevious = button(this, "FindPrevious", Qt::UpArrow, QStringLiteral("Previous match (Shift+Enter)"));
    FindNext = button(this, "FindNext", Qt::DownArrow, QStringLiteral("Next match (Enter)"));
    FindMatchCase = new QCheckBox(QStringLiteral("&Match case"), this);
    FindMatchCase->setObjectName(QStringLiteral("FindMatchCase"));
    FindWholeWords = new QCheckBox(QStringLiteral("&Whole words"), this);
    FindWholeWords->setObjectName(QStringLiteral("FindWholeWords"));
    FindCount = new QLabel(this);
    FindCount->setObjectName(QStringLiteral("FindCount"));
    FindClose = new QToolButton(this);
    FindClose->setObjectName(QStringLiteral("FindClose"));
    FindClose->setText(QStringLiteral("\u00D7"));
    FindClose->setAutoRaise(true);
    FindClose->setToolTip(QStringLiteral("Close (Escape)"));
    FindClose->setAccessibleName(QStringLiteral("Close the find bar"));

    row->addWidget(FindText, 1);
    row->addWidget(FindPrevious);
    row->addWidget(FindNext);
    row->addWidget(FindMatchCase);
    row->addWidget(FindWholeWords);
    row->addWidget(FindCount);
    row->addWidget(FindClose);

    connect(FindText, &QLineEdit::textChanged, this, [this] { search(); });
    connect(FindText, &QLineEdit::returnPressed, this, [this] {
        if (QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier))
            findPrevious();
        else
            findNext();
    });
    connect(FindMatchCase, &QCheckBox::toggled, this, [this] { search(); });
    connect(FindWholeWords, &QCheckBox::toggled, this, [this] { search(); });
    connect(FindNext, &QToolButton::clicked, this, [this] { findNext(); });
    connect(FindPrevious, &QToolButton::clicked, this, [this] { findPrevious(); });
    connect(FindClose, &QToolButton::clicked, this, [this] { close(); });
    // The page changes under the bar: typing, another page shown. Marked again once typing
    // pauses, so a key typed into a long page does not wait for the page to be searched.
    m_changed = new QTimer(this);
    m_changed->setSingleShot(true);
    m_changed->setInterval(150);
    connect(m_changed, &QTimer::timeout, this, [this] {
        if (isVisible())
            rehighlight();
    });
    connect(&m_editor, &QTextEdit::textChanged, this, [this] {
        if (isVisible())
            m_changed->start();
    });
    hide();
}

FindOptions FindBar::options() const
{
    return {FindMatchCase->isChecked(), FindWholeWords->isChecked()};
}

void FindBar::open(const QString& words, bool focusField)
{
    show();
    if (!words.isEmpty() && words != FindText->text())
        FindText->setText(words);
    else
        search();
    if (!focusField)
        return;
    FindText->setFocus(Qt::ShortcutFocusReason);
    FindText->selectAll();
}

void FindBar::close()
{
    hide();
    m_editor.setExtraSelections({});
    m_editor.setFocus(Qt::OtherFocusReason);
    emit closed();
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

int FindBar::currentMatch()
{
    const QTextCursor caret = m_editor.textCursor();
    const std::vector<int>& matches = m_find.in(*m_editor.document(), FindText->text(), options());
    const auto at = std::lower_bound(matches.begin(), matches.end(), caret.selectionStart());
    if (at == matches.end() || *at != caret.selectionStart() ||
        caret.selectionEnd() - caret.selectionStart() != FindText->text().size())
        return -1;
    return static_cast<int>(at - matches.begin());
}

void FindBar::search()
{
    (void)m_find.in(*m_editor.document(), FindText->text(), options());
    const int index = m_find.next(m_editor.textCursor().selectionStart());
    if (index >= 0)
        select(index);
    else
        mark(-1);
}

void FindBar::findNext()
{
    (void)m_find.in(*m_editor.document(), FindText->text(), options());
    const int current = currentMatch();
    const int index =
        m_find.next(current >= 0 ? m_editor.textCursor().selectionStart() + 1 : m_editor.textCursor().position());
    if (index >= 0)
        select(index);
}

void FindBar::findPrevious()
{
    (void)m_find.in(*m_editor.document(), FindText->text(), options());
    const int index = m_find.previous(m_editor.textCursor().selectionStart());
    if (index >= 0)
        select(index);
}

void FindBar::rehighlight()
{
    mark(currentMatch());
}

void FindBar::select(int index)
{
    const std::vector<int>& matches = m_find.in(*m_editor.document(), FindText->text(), options());
    QTextCursor cursor(m_editor.document());
    cursor.setPosition(matches[static_cast<std::size_t>(index)]);
    cursor.setPosition(matches[static_cast<std::size_t>(index)] + static_cast<int>(FindText->text().size()),
                       QTextCursor::KeepAnchor);
    m_editor.setTextCursor(cursor);
    m_editor.ensureCursorVisible();
    mark(index);
}

void FindBar::mark(int current)
{
    const std::vector<int>& matches = m_find.in(*m_editor.document(), FindText->text(), options());
    const int length = static_cast<int>(FindText->text().size());
    const int total = static_cast<int>(matches.size());
    const int first =
        std::clamp((current < 0 ? 0 : current) - kMostHighlights / 2, 0, std::max(0, total - kMostHighlights));
    const int last = std::min(total, first + kMostHighlights);
    QList<QTextEdit::ExtraSelection> marks;
    marks.reserve(last - first);
    const QColor found(255, 236, 139);
    const QColor chosen(255, 165, 79);
    for (int i = first; i < last; ++i) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_editor.document());
        mark.cursor.setPosition(matches[static_cast<std::size_t>(i)]);
        mark.cursor.setPosition(matches[static_cast<std::size_t>(i)] + length, QTextCursor::KeepAnchor);
        mark.format.setBackground(i == current ? chosen : found);
        mark.format.setForeground(Qt::black);
        marks.append(mark);
    }
    m_editor.setExtraSelections(marks);
    if (FindText->text().isEmpty())
        FindCount->clear();
    else if (total == 0)
        FindCount->setText(QStringLiteral("No matches"));
    else if (current < 0)
        FindCount->setText(total == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(total));
    else
        FindCount->setText(QStringLiteral("%1 of %2").arg(current + 1).arg(total));
}

} // namespace quillory
