#include "ui/form/TForm1.h"

#include "ui/find/PageSearch.h"

#include "core/reminders/ReminderDue.h"
#include "core/reminders/TagAcknowledgement.h"
#include "core/store/ProjectStore.h"
#include "core/store/WholeFile.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"

#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <chrono>

namespace quillory {

namespace fs = std::filesystem;

namespace {

// Starts the check's timer again however the handling of a reminder ends.
class TimerRestart {
public:
    explicit TimerRestart(QTimer& timer) : m_timer(timer) {}
    TimerRestart(const TimerRestart&) = delete;
    TimerRestart& operator=(const TimerRestart&) = delete;
    ~TimerRestart() { m_timer.start(); }

private:
    QTimer& m_timer;
};

} // namespace

void TForm1::connectReminderHandlers()
{
    connect(ReminderCheck, &QTimer::timeout, this, [this] { guarded([this] { ReminderCheckTimer(this); }); });
}

std::u16string TForm1::pageScanText(std::vector<int>* positions) const
{
    std::u16string text;
    text.reserve(static_cast<std::size_t>(RE->document()->characterCount()) +
                 static_cast<std::size_t>(RE->document()->blockCount()));
    const auto add = [&](char16_t unit, int position) {
        text.push_back(unit);
        if (positions != nullptr)
            positions->push_back(position);
    };
    for (QTextBlock block = RE->document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        const int start = block.position();
        for (qsizetype i = 0; i < line.size(); ++i) {
            const int position = start + static_cast<int>(i);
            if (line[i] == QChar::LineSeparator) {
                add(u'\r', position);
                add(u'\n', position);
            } else {
                add(line[i].unicode(), position);
            }
        }
        add(u'\r', start + static_cast<int>(line.size()));
        add(u'\n', start + static_cast<int>(line.size()));
    }
    return text;
}

void TForm1::AnyReminders()
{
    ReminderList.clear();
    m_reminders = m_reminderScanner.scan(bufferDir(), CurrentItem, pageScanText());
    ReminderList.reserve(m_reminders.size());
    for (const auto& found : m_reminders)
        ReminderList.push_back(reminders::ReminderEntry(found.tag, found.item));
}

void TForm1::ReminderCheckTimer(QObject*)
{
    m_search->markStale(); // an acknowledgement rewrites its page
    AnyReminders();
    // Questions and switches below must not see a list that a later scan rebuilt.
    const std::vector<reminders::ScannedReminder> entries = m_reminders;
    for (const auto& reminder : entries) {
        const std::u16string compact = reminders::CompactStamp(reminder.tag.stamp);
        const std::time_t now = std::chrono::system_clock::to_time_t(m_desktop.now());
        if (!reminders::IsDue(compact, reminders::MinuteText(now)))
            continue;

        // Stopped while the question is open, so checks never overlap.
        ReminderCheck->stop();
        const TimerRestart restart(*ReminderCheck);
        Open1Click();
        const std::u16string name = store::ShownName(reminder.item);
        const std::u16string question =
            reminders::ReminderQuestion(name, reminders::DateShown(compact), reminders::ShownLabel(reminder.tag.label));
        if (m_desktop.confirm(question, false) == Answer::Yes) {
            selectEntry(name);
            LBClick();
        }
        acknowledgeReminder(reminder);
    }
}

void TForm1::acknowledgeReminder(const reminders::ScannedReminder& reminder)
{
    const fs::path file = bufferFile(reminder.item);
    const bool shown = reminder.item == CurrentItem;
    bool changed = false;
    // The file must hold the page shown before it is rewritten and loaded again, or typing
    // not yet written would be lost.
    std::error_code writeError = shown ? writeShownPage() : std::error_code();
    std::error_code readError;
    // A page that cannot be read now was removed behind our back: nothing to acknowledge.
    const auto bytes = writeError ? std::nullopt : store::ReadWholeFile(file, readError);
    if (const auto done = bytes ? reminders::AcknowledgeStoredPage(*bytes, reminder.tag.stamp) : std::nullopt) {
        writeError = store::ReplaceFileAtomically(file, *done, store::Flush::Skip);
        changed = !writeError;
        if (changed && shown)
            reloadPageShown(file);
    }
    if (writeError)
        reportFileError(file, writeError);
    // A tag with formatting inside is whole only in the editor's text. When the file cannot be
    // written, the page shown is acknowledged where it is and reaches its file with the next
    // switch or save.
    if (!changed && shown && acknowledgeInEditor(reminder.tag.stamp)) {
        changed = true;
        if (!writeError)
            if (const std::error_code again = writeShownPage())
                reportFileError(file, again);
    }
    FixIt(kStampAndRebuild);
    if (changed)
        Edited = true;
}

bool TForm1::acknowledgeInEditor(std::u16string_view stamp)
{
    std::vector<int> positions;
    const std::u16string text = pageScanText(&positions);
    const auto found = reminders::FindTagBraces(text, stamp);
    if (found.empty())
        return false;
    QTextCursor cursor(RE->document());
    cursor.beginEditBlock();
    const auto replace = [&](std::size_t unit, QChar bracket) {
        cursor.setPosition(positions[unit]);
        cursor.setPosition(positions[unit] + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = cursor.charFormat();
        cursor.insertText(QString(bracket), format);
    };
    for (const auto& braces : found) {
        replace(braces.open, QLatin1Char('['));
        replace(braces.close, QLatin1Char(']'));
    }
    cursor.endEditBlock();
    return true;
}

void TForm1::reloadPageShown(const fs::path& file)
{
    const QTextCursor before = RE->textCursor();
    const int anchor = before.anchor();
    const int position = before.position();
    const int scroll = RE->verticalScrollBar()->value();
    if (const std::error_code ec = showPage(CurrentItem, file)) {
        reportFileError(file, ec);
        return;
    }
    // Brackets replace braces one for one, so the old positions still fit.
    const int end = RE->document()->characterCount() - 1;
    QTextCursor after(RE->document());
    after.setPosition(std::min(anchor, end));
    after.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
    RE->setTextCursor(after);
    RE->verticalScrollBar()->setValue(scroll);
}

} // namespace quillory
