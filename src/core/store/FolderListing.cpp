#include "core/store/FolderListing.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/store/PosixIo.h"

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace quillory::store {

namespace detail {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const noexcept { ::closedir(dir); }
};

bool IsRegularEntry(int dirFd, const dirent& entry) noexcept
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_REG;
    // Some file systems do not fill in the type.
    struct stat info {};
    return ::fstatat(dirFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

// Calls `each` with every entry of the folder; nothing when it cannot be read.
template <typename Each> void ForEachEntry(int dirFd, Each each)
{
    // A second descriptor, since closedir closes the one the stream was made from.
    const int own = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0)
        return;
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(own));
    if (!dir) {
        ::close(own);
        return;
    }
    while (const dirent* entry = ::readdir(dir.get()))
        each(*entry);
}

} // namespace

bool ListedBefore(const std::u16string& a, const std::u16string& b) noexcept
{
    const int order = CompareNoCase(a, b);
    return order != 0 ? order < 0 : a < b;
}

std::vector<std::u16string> ListRegularFilesAt(int dirFd)
{
    std::vector<std::u16string> names;
    ForEachEntry(dirFd, [&](const dirent& entry) {
        const std::string_view name(entry.d_name);
        if (!name.starts_with('.') && IsValidUtf8(name) && IsRegularEntry(dirFd, entry))
            names.push_back(Utf8ToUtf16(name));
    });
    std::sort(names.begin(), names.end(), ListedBefore);
    return names;
}

void RemoveOurTemporariesAt(int dirFd)
{
    std::vector<std::string> found;
    ForEachEntry(dirFd, [&](const dirent& entry) {
        if (IsOurTemporary(entry.d_name) && IsRegularEntry(dirFd, entry))
            found.emplace_back(entry.d_name);
    });
    // Deleted after the walk: a folder changed while it is read may skip or repeat entries.
    for (const std::string& name : found)
        ::unlinkat(dirFd, name.c_str(), 0);
}

} // namespace detail

void RemoveOurTemporaries(const std::filesystem::path& folder)
{
    std::error_code error;
    if (const UniqueFd dir = detail::OpenFolder(folder, error))
        detail::RemoveOurTemporariesAt(dir.get());
}

std::vector<std::u16string> ListRegularFiles(const std::filesystem::path& folder)
{
    std::error_code error;
    const UniqueFd dir = detail::OpenFolder(folder, error);
    if (!dir)
        return {};
    return detail::ListRegularFilesAt(dir.get());
}

} // namespace quillory::store
