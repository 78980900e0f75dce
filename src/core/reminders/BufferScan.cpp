#include "core/reminders/BufferScan.h"

#include "core/Utf.h"
#include "core/store/FolderListing.h"
#include "core/store/PosixIo.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::reminders {

namespace {

// Reads the regular file `name` of the folder into `buffer`, which only ever grows, so a scan
// allocates for its largest page alone. Never blocks on a special file put in a page's place.
[[nodiscard]] std::optional<std::string_view> ReadPageAt(int dirFd, const std::string& name, std::string& buffer)
{
    const store::UniqueFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // One byte more than the size, so a file that has not grown ends at the second read.
    const auto expected = static_cast<std::size_t>(info.st_size) + 1;
    if (buffer.size() < expected)
        buffer.resize(std::max(expected, std::size_t{64} * 1024));
    std::size_t used = 0;
    for (;;) {
        if (used == buffer.size())
            buffer.resize(buffer.size() * 2);
        const ssize_t n = ::read(fd.get(), buffer.data() + used, buffer.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    return std::string_view(buffer.data(), used);
}

} // namespace

std::vector<ScannedReminder> ScanBuffer(const std::filesystem::path& bufferDir, std::u16string_view currentItem,
                                        std::u16string_view currentText)
{
    return ScanPages(bufferDir, store::ListRegularFiles(bufferDir), currentItem, currentText);
}

std::vector<ScannedReminder> ScanPages(const std::filesystem::path& folder, std::vector<std::u16string> names,
                                       std::u16string_view currentItem, std::u16string_view currentText)
{
    std::vector<ScannedReminder> found;
    std::error_code error;
    const store::UniqueFd dir = store::detail::OpenFolder(folder, error);
    if (!dir)
        return found;
    std::string buffer;
    for (std::u16string& name : names) {
        std::optional<ReminderTag> tag;
        if (name == currentItem) {
            tag = FirstArmedTag(currentText);
        } else if (const auto bytes = ReadPageAt(dir.get(), Utf16ToUtf8(name), buffer)) {
            tag = FirstArmedTagInFile(*bytes);
        }
        if (tag)
            found.push_back({std::move(name), std::move(*tag)});
    }
    return found;
}

} // namespace quillory::reminders
