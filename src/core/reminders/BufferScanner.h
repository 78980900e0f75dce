#pragma once

#include "core/reminders/ReminderScanner.h"
#include "core/store/PageKey.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillory::reminders {

struct ScannedReminder {
    std::u16string item; // the page's exact file name
    ReminderTag tag;

    friend bool operator==(const ScannedReminder&, const ScannedReminder&) = default;
};

// Finds the first armed tag of every page of the buffer folder. A page's file is read again
// whenever it may have changed: what a scan found in a file is kept only while the file's device,
// inode, size, modification and change times stay the same, and only for files whose change time
// lies clearly before the scan began (a change within the same tick of a coarse clock would not
// show), and only on file systems whose change time every write moves. The change time cannot be
// set by a program, and the order stamps move it too.
class BufferScanner {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // `clock` is the system's real time, which the file system's times follow.
    explicit BufferScanner(Clock clock = [] { return std::chrono::system_clock::now(); });

    // Every page of the folder, in the listing's order (by name, without regard to case). The page
    // named exactly `currentItem` is read from `currentText`, the editor's text, the others from
    // their files.
    [[nodiscard]] std::vector<ScannedReminder> scan(const std::filesystem::path& bufferDir,
                                                    std::u16string_view currentItem, std::u16string_view currentText);

    // The same over the pages `names` of the folder, in that order. A name that cannot be read as
    // a regular file is passed over, never waited for; so is every name when the folder cannot be
    // opened.
    [[nodiscard]] std::vector<ScannedReminder> scanPages(const std::filesystem::path& folder,
                                                         std::vector<std::u16string> names,
                                                         std::u16string_view currentItem,
                                                         std::u16string_view currentText);

    // How many files the last scan read.
    [[nodiscard]] std::size_t filesRead() const noexcept { return m_filesRead; }

private:
    struct Known {
        store::PageKey key;
        std::optional<ReminderTag> tag;
    };

    Clock m_clock;
    std::unordered_map<std::u16string, Known> m_known;
    std::chrono::system_clock::time_point m_lastStart{};
    std::string m_buffer; // grows to the largest page and stays
    std::size_t m_filesRead = 0;
};

} // namespace quillory::reminders
