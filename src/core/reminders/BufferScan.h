#pragma once

#include "core/reminders/ReminderScanner.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillory::reminders {

struct ScannedReminder {
    std::u16string item; // the page's exact file name
    ReminderTag tag;

    friend bool operator==(const ScannedReminder&, const ScannedReminder&) = default;
};

// The first armed tag of every page of the buffer folder, in the listing's order (by name,
// without regard to case). The page named exactly `currentItem` is read from `currentText`, the
// editor's text, the others from their files. Reads every page afresh on every call.
[[nodiscard]] std::vector<ScannedReminder> ScanBuffer(const std::filesystem::path& bufferDir,
                                                      std::u16string_view currentItem, std::u16string_view currentText);

// The same over the pages `names` of the folder, in that order. A name that cannot be read as a
// regular file is passed over, never waited for; so is every name when the folder cannot be opened.
[[nodiscard]] std::vector<ScannedReminder> ScanPages(const std::filesystem::path& folder,
                                                     std::vector<std::u16string> names, std::u16string_view currentItem,
                                                     std::u16string_view currentText);

} // namespace quillory::reminders
