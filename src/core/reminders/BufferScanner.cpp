#include "core/reminders/BufferScanner.h"

#include "core/Utf.h"
#include "core/store/FolderListing.h"
#include "core/store/PageKey.h"
#include "core/store/PosixIo.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quillory::reminders {

using store::ReadPageAt;

BufferScanner::BufferScanner(Clock clock) : m_clock(std::move(clock))
{
}

std::vector<ScannedReminder> BufferScanner::scan(const std::filesystem::path& bufferDir,
                                                 std::u16string_view currentItem, std::u16string_view currentText)
{
    return scanPages(bufferDir, store::ListRegularFiles(bufferDir), currentItem, currentText);
}

std::vector<ScannedReminder> BufferScanner::scanPages(const std::filesystem::path& folder,
                                                      std::vector<std::u16string> names,
                                                      std::u16string_view currentItem, std::u16string_view currentText)
{
    m_filesRead = 0;
    std::vector<ScannedReminder> found;
    std::error_code error;
    const store::UniqueFd dir = store::detail::OpenFolder(folder, error);
    if (!dir) {
        m_known.clear();
        return found;
    }
    const auto start = m_clock();
    // After the clock went back, a new change could carry the time of an old one.
    if (start < m_lastStart)
        m_known.clear();
    m_lastStart = start;
    const store::PageLook look(dir.get(), start);

    std::unordered_map<std::u16string, Known> known;
    known.reserve(look.keepsKeys() ? names.size() : 0);
    for (std::u16string& name : names) {
        std::optional<ReminderTag> tag;
        if (name == currentItem) {
            tag = FirstArmedTag(currentText);
        } else {
            const std::string file = Utf16ToUtf8(name);
            struct stat info {};
            const auto cached = m_known.find(name);
            if (cached != m_known.end() && look.unchanged(file, cached->second.key)) {
                tag = cached->second.tag;
                known.insert(m_known.extract(cached));
            } else {
                const auto bytes = ReadPageAt(dir.get(), file, m_buffer, info);
                if (!bytes)
                    continue;
                ++m_filesRead;
                tag = FirstArmedTagInFile(*bytes);
                if (const auto key = look.keyToKeep(info))
                    known.insert({name, Known{*key, tag}});
            }
        }
        if (tag)
            found.push_back({std::move(name), std::move(*tag)});
    }
    m_known = std::move(known);
    return found;
}

} // namespace quillory::reminders
