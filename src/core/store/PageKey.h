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

// File systems that move a file's change time on every write, rename and time change.
[[nodiscard]] bool KeepsChangeTimes(int dirFd) noexcept;

[[nodiscard]] timespec ToTimespec(std::chrono::system_clock::time_point time) noexcept;
[[nodiscard]] bool Before(const timespec& a, const timespec& b) noexcept;

// Reads the regular file `name` of the folder into `buffer`, which only ever grows. Never blocks
// on a special file put in a page's place. `info` receives the status of the file read.
[[nodiscard]] std::optional<std::string_view> ReadPageAt(int dirFd, const std::string& name, std::string& buffer,
                                                         struct stat& info);

} // namespace quillory::store
