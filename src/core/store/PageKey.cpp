#include "core/store/PageKey.h"

#include "core/store/UniqueFd.h"

#include <cerrno>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace quillory::store {

PageKey PageKey::of(const struct stat& info) noexcept
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

bool PageKey::operator==(const PageKey& other) const noexcept
{
    const auto same = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return device == other.device && inode == other.inode && size == other.size && same(modified, other.modified) &&
           same(changed, other.changed);
}

namespace {

// File systems that move a file's change time on every write, rename and time change.
bool KeepsChangeTimes(int dirFd) noexcept
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

timespec ToTimespec(std::chrono::system_clock::time_point time) noexcept
{
    using namespace std::chrono;
    const auto since = time.time_since_epoch();
    const auto whole = floor<seconds>(since);
    timespec result{};
    result.tv_sec = static_cast<time_t>(whole.count());
    result.tv_nsec = static_cast<long>(duration_cast<nanoseconds>(since - whole).count());
    return result;
}

bool Before(const timespec& a, const timespec& b) noexcept
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

PageLook::PageLook(int dirFd, std::chrono::system_clock::time_point start) noexcept
    : m_dir(dirFd), m_keep(KeepsChangeTimes(dirFd)), m_settled(ToTimespec(start - kSettled))
{
}

bool PageLook::unchanged(const std::string& name, const PageKey& known) const noexcept
{
    struct stat info {};
    return m_keep && ::fstatat(m_dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
           known == PageKey::of(info);
}

std::optional<PageKey> PageLook::keyToKeep(const struct stat& info) const noexcept
{
    if (!m_keep || !Before(info.st_ctim, m_settled))
        return std::nullopt;
    return PageKey::of(info);
}

std::optional<std::string_view> ReadPageAt(int dirFd, const std::string& name, std::string& buffer, struct stat& info)
{
    const UniqueFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
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

} // namespace quillory::store
