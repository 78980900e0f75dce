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

} // namespace

bool ListedBefore(const std::u16string& a, const std::u16string& b) noexcept
{
    const int order = CompareNoCase(a, b);
    return order != 0 ? order < 0 : a < b;
}

std::vector<std::u16string> ListRegularFilesAt(int dirFd, std::vector<std::string>* temporaries)
{
    std::vector<std::u16string> names;
    // A second descriptor, since closedir closes the one the stream was made from.
    const int own = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0)
        return names;
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(own));
    if (!dir) {
        ::close(own);
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name.starts_with('.')) {
            if (temporaries != nullptr && IsOurTemporary(name) && IsRegularEntry(dirFd, *entry))
                temporaries->emplace_back(name);
            continue;
        }
        if (!IsValidUtf8(name) || !IsRegularEntry(dirFd, *entry))
            continue;
        names.push_back(Utf8ToUtf16(name));
    }
    std::sort(names.begin(), names.end(), ListedBefore);
    return names;
}

} // namespace detail

std::vector<std::u16string> ListRegularFiles(const std::filesystem::path& folder)
{
    std::error_code error;
    const UniqueFd dir = detail::OpenFolder(folder, error);
    if (!dir)
        return {};
    return detail::ListRegularFilesAt(dir.get());
}

} // namespace quillory::store
