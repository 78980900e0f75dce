#include "ui/form/TForm1.h"

#include "core/text/HotkeyNames.h"

#include "platform/Desktop.h"
#include "ui/form/HelpTexts.h"
#include "ui/editor/RichEdit.h"
#include "ui/form/ScopedFlag.h"

#include <QAction>
#include <QPointer>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

namespace quillory {

void TForm1::selectRow(int row)
{
    const QSignalBlocker block(LB);
    if (row >= 0 && row < LB->count()) {
        LB->setCurrentRow(row);
    } else {
        LB->setCurrentRow(-1);
        LB->clearSelection();
    }
}

void TForm1::HotkeyPressed(int id)
{
    switch (id) {
    case kShowWindowHotkey:
        showOnTop();
        selectRow(SavedItemIndex);
        LBClick();
        break;
    case kPreviousItemHotkey:
        if (isHidden())
            return;
        // While a search is shown, the keys step through the items it found.
        if (searchShown()) {
            stepSearch(-1);
            break;
        }
        if (LB->currentRow() > 0)
            selectRow(LB->currentRow() - 1);
        LBClick();
        break;
    case kNextItemHotkey:
        if (isHidden())
            return;
        if (searchShown()) {
            stepSearch(1);
            break;
        }
        if (LB->currentRow() < LB->count() - 1)
            selectRow(LB->currentRow() + 1);
        LBClick();
        break;
    case kCopyPageHotkey:
        copyPage();
        break;
    case kHideWindowHotkey:
        hideAfterSaving();
        break;
    default:
        break;
    }
}

void TForm1::WhenStarted(std::function<void()> action)
{
    if (SSTTag != 0)
        guarded(action);
    else
        m_whenStarted = std::move(action);
}

void TForm1::copyPage()
{
    // The whole page, as selecting all and copying would give, without painting a selection that
    // is taken away at once: the caret ends at the start with nothing selected.
    m_desktop.setClipboard(richedit::documentMimeData(*RE->document()), [self = QPointer<TForm1>(this)](bool copied) {
        if (self)
            self->copyDone(copied);
    });
    RE->setTextCursor(QTextCursor(RE->document()));
    if (MinimiseafterCopy->isChecked())
        hideAfterSaving();
}

void TForm1::copyDone(bool copied)
{
    m_desktop.showBalloon(copied ? u"Quillory says.. Text copied to Clipboard."
                                 : u"Quillory says.. The page could not be put on the Clipboard.");
}

void TForm1::hideAfterSaving()
{
    // One question at a time: presses that come while it is open are not queued up behind it.
    if (m_leaveQuestionOpen)
        return;
    bool go = false;
    {
        const ScopedFlag open(m_leaveQuestionOpen);
        go = saveBeforeLeaving(u"Contents have been changed.\n\nSave before Minimising?");
    }
    if (go)
        hideToTray();
}

void TForm1::FormKeyDown(int Key, Qt::KeyboardModifiers)
{
    if (Key < Qt::Key_F1 || Key > Qt::Key_F9 || !EnableFunctionKeyCopy->isChecked())
        return;
    const int n = Key - Qt::Key_F1;
    if (n >= LB->count())
        return;
    selectRow(n);
    LBClick();
    CopyItemtoClipboardCtrlF4Hotkey1Click(this);
}

void TForm1::CopyItemtoClipboardCtrlF4Hotkey1Click(QObject* Sender)
{
    if (helpBranch(Sender, {SpeedButton7, CopyItemtoClipboardCtrlF4Hotkey1},
                   help::kCopyToClipboardIntro + OverviewText() + help::kCopyToClipboardOutro))
        return;
    copyPage();
}

} // namespace quillory
