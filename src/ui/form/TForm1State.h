#pragma once

#include <QPoint>

#include <cstdint>
#include <string>
#include <vector>

namespace quillory {

// The main window's shared state under the names its handlers use; the rules that change it are
// the handlers', the parts' (PageSession, HotkeyPresence, ...) and the quit state's, all TForm1's.
struct TForm1State {
    std::u16string DataDir;     // ends in "/"
    std::u16string ProjectPath; // no trailing "/"
    std::u16string CurrentItem;
    std::u16string LastFileDir;
    bool Edited = false;
    bool HelpMode = false;
    bool TrayHintShown = false;
    bool ShownOnce = false;
    std::uint16_t SavedItemIndex = 0;
    std::vector<std::u16string> ReminderList;
    QPoint DragStart;
    int SSTTag = 0;        // the one-shot start-up hide has run
    std::u16string LBHint; // the pending load-failure report: a one-slot mailbox
};

} // namespace quillory
