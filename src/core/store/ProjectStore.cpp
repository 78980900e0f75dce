#include "core/store/ProjectStore.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/text/CaseFold.h"
#include "core/store/FolderListing.h"
#include "core/store/OrderStamp.h"
#include "core/store/PosixIo.h"
#include "core/store/StorePasses.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::store {

using namespace detail;

namespace {

constexpr std::size_t kShownLength = 200;

bool IsBlankOrControl(char16_t c) noexcept
{
    return c <= 0x20 || (c >= 0x7F && c <= 0x9F);
}

} // namespace

void ClearBuffer(const std::filesystem::path& bufferDir)
{
    std::error_code error;
    const UniqueFd dir = detail::OpenFolder(bufferDir, error);
    if (!dir)
        return;
    for (const auto& name : detail::ListRegularFilesAt(dir.get()))
        ::unlinkat(dir.get(), Utf16ToUtf8(name).c_str(), 0);
    detail::RemoveOurTemporariesAt(dir.get());
}

namespace {

// Copies the listed project files into the buffer. A buffer file already equal in content is
// kept (its time corrected when needed): start-up mostly finds the buffer as the last session
// left it, and deleting and recreating thousands of files is far slower than reading them.
void CopyListedIntoBuffer(int projectFd, int bufferFd, LoadResult& result)
{
    CaseTwins twins(result.names);
    std::string bytes;
    std::string current;
    for (std::size_t i = 0; i < result.names.size(); ++i) {
        const std::string name = Utf16ToUtf8(result.names[i]);
        if (twins.foldsIntoElder(i, bufferFd, name)) {
            NoteFailure(result.failures, result.names[i], CaseClash());
            continue;
        }
        struct stat source {};
        std::error_code error = detail::ReadFileAt(projectFd, name, bytes, source);
        struct stat target {};
        if (!error && ::fstatat(bufferFd, name.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(target.st_mode) &&
            target.st_size == source.st_size && !detail::ReadFileAt(bufferFd, name, current, target) &&
            current == bytes) {
            const timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
            if (!SameTime(target.st_mtim, source.st_mtim) &&
                ::utimensat(bufferFd, name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
                error = detail::LastError();
        } else if (!error) {
            error = detail::ReplaceAt(bufferFd, name, bytes, &source.st_mtim, Flush::Skip);
        }
        if (error) {
            NoteFailure(result.failures, result.names[i], error);
            // An older copy left in the buffer would pass for the project's page.
            ::unlinkat(bufferFd, name.c_str(), 0);
            continue;
        }
        if (twins.inGroup(i))
            twins.hold(i, bufferFd, name);
    }
}

} // namespace

LoadResult LoadProjectIntoBuffer(const std::filesystem::path& projectDir, const std::filesystem::path& bufferDir)
{
    LoadResult result;
    std::error_code error;
    const UniqueFd project = detail::OpenFolder(projectDir, error);
    if (!project) {
        NoteFailure(result.failures, {}, error);
        return result;
    }
    detail::RemoveOurTemporariesAt(project.get());
    result.names = detail::ListRegularFilesAt(project.get());
    const UniqueFd buffer = detail::OpenFolder(bufferDir, error);
    if (!buffer) {
        NoteFailure(result.failures, {}, error);
        return result;
    }
    CopyListedIntoBuffer(project.get(), buffer.get(), result);
    return result;
}

LoadResult RefillBuffer(const std::filesystem::path& projectDir, const std::filesystem::path& bufferDir)
{
    LoadResult result;
    std::error_code error;
    const UniqueFd buffer = detail::OpenFolder(bufferDir, error);
    if (!buffer) {
        NoteFailure(result.failures, {}, error);
        return result;
    }
    const UniqueFd project = detail::OpenFolder(projectDir, error);
    if (project) {
        detail::RemoveOurTemporariesAt(project.get());
        result.names = detail::ListRegularFilesAt(project.get());
    } else {
        NoteFailure(result.failures, {}, error);
    }

    // Stale files go first: on a folder that ignores case, a stale "notes" is the same file as
    // a listed "Notes", and deleting it afterwards would take the fresh copy with it.
    for (const auto& name : detail::ListRegularFilesAt(buffer.get()))
        if (!std::binary_search(result.names.begin(), result.names.end(), name, detail::ListedBefore))
            ::unlinkat(buffer.get(), Utf16ToUtf8(name).c_str(), 0);
    detail::RemoveOurTemporariesAt(buffer.get());
    if (project)
        CopyListedIntoBuffer(project.get(), buffer.get(), result);
    return result;
}

bool StampAll(const std::filesystem::path& bufferDir, std::span<const std::u16string> names)
{
    std::error_code error;
    const UniqueFd dir = detail::OpenFolder(bufferDir, error);
    if (!dir)
        return names.empty();
    const std::span<const std::time_t> stamps = detail::OrderStampTimes(names.size());
    std::string name;
    bool all = true;
    for (std::size_t i = 0; i < names.size(); ++i) {
        name = Utf16ToUtf8(names[i]);
        struct stat info {};
        if (::fstatat(dir.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
            all = false;
            continue;
        }
        const timespec stamp{i < stamps.size() ? stamps[i] : OrderStampTime(i), 0};
        // Comparing first keeps an unchanged order free of inode writes.
        if (SameTime(info.st_mtim, stamp))
            continue;
        const timespec times[2] = {{0, UTIME_OMIT}, stamp};
        if (::utimensat(dir.get(), name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
            all = false;
    }
    return all;
}

std::u16string ShownName(std::u16string_view fileName)
{
    std::size_t end = std::min(fileName.size(), kShownLength);
    if (end < fileName.size() && end > 0 && fileName[end - 1] >= 0xD800 && fileName[end - 1] <= 0xDBFF)
        --end;
    std::size_t begin = 0;
    while (begin < end && IsBlankOrControl(fileName[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(fileName[end - 1]))
        --end;
    return std::u16string(fileName.substr(begin, end - begin));
}

std::vector<OrderedItem> OrderedItems(const std::filesystem::path& bufferDir)
{
    std::error_code error;
    const UniqueFd dir = detail::OpenFolder(bufferDir, error);
    if (!dir)
        return {};
    const std::vector<std::u16string> names = detail::ListRegularFilesAt(dir.get());
    std::vector<std::u16string> lines;
    lines.reserve(names.size());
    for (const auto& fileName : names) {
        struct stat info {};
        const bool known = ::fstatat(dir.get(), Utf16ToUtf8(fileName).c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
        std::u16string line = OrderKey(known ? std::optional<std::time_t>(info.st_mtim.tv_sec) : std::nullopt);
        line.push_back(u'\u00A0');
        line.append(fileName);
        lines.push_back(std::move(line));
    }
    std::sort(lines.begin(), lines.end(), detail::ListedBefore);
    std::vector<OrderedItem> items;
    items.reserve(lines.size());
    for (const auto& line : lines) {
        // Keys never hold U+00A0, so the first one is the separator.
        const std::u16string_view fileName = std::u16string_view(line).substr(FindFrom(u"\u00A0", line, 1));
        items.push_back(OrderedItem{ShownName(fileName), std::u16string(fileName)});
    }
    return items;
}

std::vector<std::u16string> OrderedNames(const std::filesystem::path& bufferDir)
{
    std::vector<std::u16string> shown;
    for (auto& item : OrderedItems(bufferDir))
        shown.push_back(std::move(item.shown));
    return shown;
}

std::optional<std::size_t> FindItem(std::span<const std::u16string> entries, std::u16string_view name)
{
    const auto exact = std::find(entries.begin(), entries.end(), name);
    if (exact != entries.end())
        return static_cast<std::size_t>(exact - entries.begin());
    const std::u16string wanted = FoldedName(name);
    const auto folded =
        std::find_if(entries.begin(), entries.end(), [&](const std::u16string& e) { return FoldedName(e) == wanted; });
    if (folded != entries.end())
        return static_cast<std::size_t>(folded - entries.begin());
    return std::nullopt;
}

} // namespace quillory::store
