#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

// What tells that a page file may have changed since it was last read, for the caches that keep
// what they found in a page (the reminder scan, the search index). A file is taken as unchanged
// only while its device, inode, size, modification and change times all stay the same, only on
// file systems whose change time every write moves (a program cannot set it; the order stamps
// move it too), and only once its change time lies clearly before the look began (a change within
// the same tick of a coarse clock would not show).
namespace quillory::store {

struct PageKey {
    dev_t device;
    ino_t inode;
    off_t size;
    timespec modified;
    timespec changed;

    [[nodiscard]] static PageKey of(const struct stat& info) noexcept;
    [[nodiscard]] bool operator==(const PageKey& other) const noexcept;
};

// Longer than the coarsest tick a kept file system stamps change times with.
inline constexpr auto kSettled = std::chrono::seconds(3);

// One look over a folder's pages, begun at `start`: whether a page is unchanged since the key
// kept for it, and the key worth keeping for a page just read.
class PageLook {
public:
    PageLook(int dirFd, std::chrono::system_clock::time_point start) noexcept;

    // Keys are kept at all: the folder's file system moves change times on every write.
    [[nodiscard]] bool keepsKeys() const noexcept { return m_keep; }
    // The regular file `name` still has the key `known`; false where keys are not kept.
    [[nodiscard]] bool unchanged(const std::string& name, const PageKey& known) const noexcept;
    // The key of a file read with status `info`, where it can be kept: a file changed within the
    // last ticks could change again without its times showing it.
    [[nodiscard]] std::optional<PageKey> keyToKeep(const struct stat& info) const noexcept;

private:
    int m_dir;
    bool m_keep;
    timespec m_settled;
};

// Reads the regular file `name` of the folder into `buffer`, which only ever grows. Never blocks
// on a special file put in a page's place. `info` receives the status of the file read.
[[nodiscard]] std::optional<std::string_view> ReadPageAt(int dirFd, const std::string& name, std::string& buffer,
                                                         struct stat& info);

} // namespace quillory::store
