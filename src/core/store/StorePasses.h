#pragma once

#include "core/StuffUnit.h"
#include "core/store/FileFailure.h"

#include <algorithm>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>

// What the store's loading and saving passes share. Internal to the store.
namespace quillory::store::detail {

inline bool SameTime(const timespec& a, const timespec& b) noexcept
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

inline bool SameFile(const struct stat& a, const struct stat& b) noexcept
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Names that differ only in case stand next to each other in a listing. On a folder that
// ignores case they would share one file, and the second copy would overwrite the first, so
// each member of such a group is checked against the files its elders already occupy.
class CaseTwins {
public:
    explicit CaseTwins(std::span<const std::u16string> names) : m_names(names) {}

    [[nodiscard]] bool inGroup(std::size_t i) const noexcept
    {
        return hasElder(i) || (i + 1 < m_names.size() && EqualsNoCase(m_names[i], m_names[i + 1]));
    }

    // True when `name` (the i-th) resolves in `dirFd` to a file an elder of its group holds.
    [[nodiscard]] bool foldsIntoElder(std::size_t i, int dirFd, const std::string& name) const noexcept
    {
        if (!hasElder(i))
            return false;
        struct stat info {};
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        return std::any_of(m_held.begin(), m_held.end(), [&](const struct stat& held) { return SameFile(held, info); });
    }

    // Records the file the i-th name now holds in `dirFd`.
    void hold(std::size_t i, int dirFd, const std::string& name)
    {
        if (!hasElder(i))
            m_held.clear();
        struct stat info {};
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
            m_held.push_back(info);
    }

private:
    [[nodiscard]] bool hasElder(std::size_t i) const noexcept
    {
        return i > 0 && i < m_names.size() && EqualsNoCase(m_names[i], m_names[i - 1]);
    }

    std::span<const std::u16string> m_names;
    std::vector<struct stat> m_held;
};

inline std::error_code CaseClash()
{
    return std::make_error_code(std::errc::file_exists);
}

inline void NoteFailure(std::vector<FileFailure>& failures, const std::u16string& name, std::error_code error)
{
    failures.push_back(FileFailure{name, error});
}

// Failures in the order of the names, whichever pass noted them.
inline std::vector<FileFailure> Sorted(std::vector<FileFailure> failures)
{
    std::stable_sort(failures.begin(), failures.end(),
                     [](const FileFailure& a, const FileFailure& b) { return detail::ListedBefore(a.name, b.name); });
    return failures;
}

} // namespace quillory::store::detail
