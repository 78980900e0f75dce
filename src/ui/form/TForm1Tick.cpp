#include "ui/form/TForm1.h"

#include "core/StuffUnit.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace quillory {

namespace {

std::u16string_view view(const QString& s)
{
    return {reinterpret_cast<const char16_t*>(s.constData()), static_cast<std::size_t>(s.size())};
}

} // namespace

// Twenty times a second for the life of the program: every step compares before it writes, and
// an idle tick neither allocates nor touches a file.
void TForm1::Timer1Timer()
{
    // 1. Caption.
    {
        static constexpr std::u16string_view kPrefix = u"Quillory - ";
        const QString title = windowTitle();
        const std::u16string_view t = view(title);
        const std::size_t expected = kPrefix.size() + ProjectPath.size() + (Edited ? 2 : 0);
        const bool same = t.size() == expected && t.substr(0, kPrefix.size()) == kPrefix &&
                          t.substr(kPrefix.size(), ProjectPath.size()) == ProjectPath &&
                          (!Edited || t.substr(expected - 2) == u" *");
        if (!same)
            setWindowTitle(toQ(std::u16string(kPrefix) + ProjectPath + (Edited ? u" *" : u"")));
    }

    // 2. Edited panel.
    {
        const QString expected = Edited ? QStringLiteral("Edited") : QStringLiteral("Saved");
        if (StatusPanels[4]->text() != expected)
            StatusPanels[4]->setText(expected);
    }

    // The project the session marker names follows the open one.
    if (ShownOnce)
        markSession();

    // 3. Stay on top, left alone in help mode.
    if (!HelpMode && isStayOnTop() != SOT->isChecked())
        setStayOnTop(SOT->isChecked());

    if (m_layout.pendingBounds.isValid())
        applyPendingBounds();

    // 4. The one-shot start-up hide.
    if (SSTTag == 0) {
        SSTTag = 1;
        SavedItemIndex = static_cast<std::uint16_t>(LB->currentRow());
        if (SST->isChecked())
            hideWindow();
        if (!m_hotkeys.notice().empty())
            notice(m_hotkeys.notice());
        offerDesktopShortcuts();
        if (m_whenStarted)
            std::exchange(m_whenStarted, {})();
    }

    // 5. The load-failure report, emptied before its box opens so ticks under the box skip it.
    if (!LBHint.empty()) {
        const std::u16string path = std::move(LBHint);
        LBHint.clear();
        ShowInfo(u"Quillory could not load project \n\n" + path +
                 u"\n\nHave reset to default.\n\nCheck project still exists and reload using File|Open.");
    }
    // Start-up's other failures, the same way.
    m_errors.showHeld();

    // 6. The open project belongs in the recent list.
    {
        bool listed = false;
        for (int i = 0; i < OpenRecent->count() && !listed; ++i)
            listed = EqualsNoCase(view(OpenRecent->item(i)->text()), ProjectPath);
        if (!listed) {
            OpenRecent->addItem(toQ(ProjectPath));
            if (!writeRecent())
                return;
        }
    }

    // 7. Help cursor.
    {
        const QCursor* cursor = QApplication::overrideCursor();
        if (HelpMode && (!cursor || cursor->shape() != Qt::WhatsThisCursor))
            QApplication::setOverrideCursor(Qt::WhatsThisCursor);
        else if (!HelpMode && cursor)
            QApplication::restoreOverrideCursor();
    }

    // 8. Word wrap.
    {
        const bool wraps = RE->lineWrapMode() != QTextEdit::NoWrap;
        if (Wordwrap->isChecked() && !wraps) {
            RE->setLineWrapMode(QTextEdit::WidgetWidth);
            RE->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            RE->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        } else if (!Wordwrap->isChecked() && wraps) {
            RE->setLineWrapMode(QTextEdit::NoWrap);
            RE->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            RE->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        }
    }

    // 9. Caret panel.
    {
        m_statusNumbers.showCaret(*StatusPanels[1], RE->textCursor().selectionStart());
    }

    // 10. Line panel: lines as laid out, recounted only when the text or the layout width changed.
    {
        const int layoutWidth = RE->viewport()->width() * (RE->lineWrapMode() == QTextEdit::NoWrap ? -1 : 1);
        m_statusNumbers.showLines(*StatusPanels[3], RE->document()->revision(), layoutWidth, [this] {
            int lines = 0;
            const QTextDocument* doc = RE->document();
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
                lines += (b.layout() && b.layout()->lineCount() > 0) ? b.layout()->lineCount() : 1;
            if (doc->lastBlock().length() <= 1) // a final empty line is not counted
                --lines;
            return std::max(lines, 0);
        });
    }
}

} // namespace quillory
