#include "core/reminders/BufferScanner.h"

#include "core/Utf.h"
#include "core/store/FolderListing.h"
#include "core/store/PosixIo.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quillory::reminders {

namespace {

// Longer than the coarsest tick a kept file system stamps change times with.
constexpr auto kSettled = std::chrono::seconds(3);

// File systems that move a file's change time on every write, rename and time change.
[[nodiscard]] bool KeepsChangeTimes(int dirFd) noexcept
{
    constexpr unsigned long kZfs = 0x2FC12FC1;
    struct statfs info {};
    if (::fstatfs(dirFd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
    case kZfs:
        return true;
    default:
        return false;
    }
}

[[nodiscard]] timespec ToTimespec(std::chrono::system_clock::time_point time) noexcept
{
    using namespace std::chrono;
    const auto since = time.time_since_epoch();
    const auto whole = floor<seconds>(since);
    timespec result{};
    result.tv_sec = static_cast<time_t>(whole.count());
    result.tv_nsec = static_cast<long>(duration_cast<nanoseconds>(since - whole).count());
    return result;
}

[[nodiscard]] bool Before(const timespec& a, const timespec& b) noexcept
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Reads the regular file `name` of the folder into `buffer`, which only ever grows. Never blocks
// on a special file put in a page's place. `info` receives the status of the file read.
[[nodiscard]] std::optional<std::string_view> ReadPageAt(int dirFd, const std::string& name, std::string& buffer,
                                                         struct stat& info)
{
    const store::UniqueFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const auto size = static_cast<std::size_t>(info.st_size);
    if (buffer.size() <= size)
        buffer.resize(std::max(size + 1, std::size_t{64} * 1024));
    std::size_t used = 0;
    for (;;) {
        if (used == buffer.size())
            buffer.resize(buffer.size() * 2);
        const std::size_t wanted = buffer.size() - used;
        const ssize_t n = ::read(fd.get(), buffer.data() + used, wanted);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        used += static_cast<std::size_t>(n);
        // A short read that reaches the size is the end, which saves asking again; one that
        // falls short of it may come from a file system that reads in pieces.
        if (n == 0 || (used >= size && static_cast<std::size_t>(n) < wanted))
            break;
    }
    return std::string_view(buffer.data(), used);
}

} // namespace

BufferScanner::BufferScanner(Clock clock) : m_clock(std::move(clock))
{
}

bool BufferScanner::same(const Key& a, const Key& b) noexcept
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec && a.changed.tv_sec == b.changed.tv_sec &&
           a.changed.tv_nsec == b.changed.tv_nsec;
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
    const bool keep = KeepsChangeTimes(dir.get());
    const timespec settled = ToTimespec(start - kSettled);

    std::unordered_map<std::u16string, Known> known;
    known.reserve(keep ? names.size() : 0);
    for (std::u16string& name : names) {
        std::optional<ReminderTag> tag;
        if (name == currentItem) {
            tag = FirstArmedTag(currentText);
        } else {
            const std::string file = Utf16ToUtf8(name);
            struct stat info {};
            const auto cached = keep ? m_known.find(name) : m_known.end();
            if (cached != m_known.end() && ::fstatat(dir.get(), file.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(info.st_mode) &&
                same(cached->second.key, {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim})) {
                tag = cached->second.tag;
                known.insert(m_known.extract(cached));
            } else {
                const auto bytes = ReadPageAt(dir.get(), file, m_buffer, info);
                if (!bytes)
                    continue;
                ++m_filesRead;
                tag = FirstArmedTagInFile(*bytes);
                // A file changed within the last ticks could change again without its times showing it.
                if (keep && Before(info.st_ctim, settled))
                    known.insert(
                        {name, Known{{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim}, tag}});
            }
        }
        if (tag)
            found.push_back({std::move(name), std::move(*tag)});
    }
    m_known = std::move(known);
    return found;
}

} // namespace quillory::reminders
