#include "core/store/ProjectStore.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/store/FolderListing.h"
#include "core/store/OrderStamp.h"
#include "core/store/PosixIo.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::store {

namespace {

constexpr std::size_t kShownLength = 200;
// Up to this many new files are synced one by one; more are synced with their file system.
constexpr std::size_t kSyncOneByOne = 16;

bool SameTime(const timespec& a, const timespec& b) noexcept
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameFile(const struct stat& a, const struct stat& b) noexcept
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsBlankOrControl(char16_t c) noexcept
{
    return c <= 0x20 || (c >= 0x7F && c <= 0x9F);
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

std::error_code CaseClash()
{
    return std::make_error_code(std::errc::file_exists);
}

void NoteFailure(std::vector<FileFailure>& failures, const std::u16string& name, std::error_code error)
{
    failures.push_back(FileFailure{name, error});
}

// A new file written beside its target, waiting for the rename.
struct Staged {
    std::size_t index;
    std::string name;
    std::string temporary;
    mode_t mode = 0; // of the file it replaces, given only after the sync: 0 keeps the new file's
    bool replaces = false;
};

// Removes the temporaries that never took their names.
class StagedCleanup {
public:
    StagedCleanup(int dirFd, std::vector<Staged>& staged) noexcept : m_dirFd(dirFd), m_staged(staged) {}
    StagedCleanup(const StagedCleanup&) = delete;
    StagedCleanup& operator=(const StagedCleanup&) = delete;
    ~StagedCleanup()
    {
        for (const Staged& s : m_staged)
            if (!s.temporary.empty())
                ::unlinkat(m_dirFd, s.temporary.c_str(), 0);
    }

private:
    int m_dirFd;
    std::vector<Staged>& m_staged;
};

// Syncs the staged files; one that cannot be synced is removed from `staged` (its temporary
// deleted) and noted, so it cannot sink the others. A file system that cannot be synced as a
// whole fails every file.
void SyncStaged(int dirFd, std::vector<Staged>& staged, const std::vector<std::u16string>& names,
                std::vector<FileFailure>& failures)
{
    if (staged.size() > kSyncOneByOne) {
        if (const std::error_code error = detail::Fault("sync", {}); error || ::syncfs(dirFd) != 0) {
            const std::error_code reason = error ? error : detail::LastError();
            for (const Staged& s : staged)
                NoteFailure(failures, names[s.index], reason);
            for (Staged& s : staged)
                ::unlinkat(dirFd, s.temporary.c_str(), 0);
            staged.clear();
        }
        return;
    }
    std::erase_if(staged, [&](const Staged& s) {
        std::error_code error = detail::Fault("sync", s.name);
        if (!error) {
            // The temporary still has the mode it was made with, so it can be opened whatever the
            // mode of the file it replaces.
            const UniqueFd fd(::openat(dirFd, s.temporary.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
            if (!fd || ::fsync(fd.get()) != 0)
                error = detail::LastError();
        }
        if (!error)
            return false;
        NoteFailure(failures, names[s.index], error);
        ::unlinkat(dirFd, s.temporary.c_str(), 0);
        return true;
    });
}

// Failures in the order of the names, whichever pass noted them.
std::vector<FileFailure> Sorted(std::vector<FileFailure> failures)
{
    std::stable_sort(failures.begin(), failures.end(),
                     [](const FileFailure& a, const FileFailure& b) { return detail::ListedBefore(a.name, b.name); });
    return failures;
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

std::vector<FileFailure> CopyBufferToProject(const std::filesystem::path& bufferDir,
                                             const std::filesystem::path& projectDir,
                                             const std::vector<std::u16string>* only)
{
    std::vector<FileFailure> failures;
    std::error_code error;
    const UniqueFd buffer = detail::OpenFolder(bufferDir, error);
    if (!buffer)
        return {FileFailure{{}, error}};
    const UniqueFd project = detail::OpenFolder(projectDir, error);
    if (!project)
        return {FileFailure{{}, error}};
    // An earlier save that was killed part-way leaves its temporaries; they are ours alone.
    detail::RemoveOurTemporariesAt(project.get());
    std::vector<std::u16string> names = detail::ListRegularFilesAt(buffer.get());
    if (only) {
        const std::unordered_set<std::u16string> wanted(only->begin(), only->end());
        std::erase_if(names, [&](const std::u16string& n) { return !wanted.contains(n); });
    }

    // First write every changed file as a temporary, then sync them all at once, then rename:
    // one sync for the whole save instead of one per file, and until its rename every project
    // file stays as it was.
    std::vector<Staged> staged;
    const StagedCleanup cleanup(project.get(), staged);
    std::string bytes;
    std::string current;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string name = Utf16ToUtf8(names[i]);
        struct stat source {};
        error = detail::ReadFileAt(buffer.get(), name, bytes, source);
        if (error == std::errc::no_such_file_or_directory)
            continue; // gone from the buffer since the listing: nothing to save
        if (error) {
            NoteFailure(failures, names[i], error);
            continue;
        }
        struct stat target {};
        const bool exists = ::fstatat(project.get(), name.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0;
        const bool regular = exists && S_ISREG(target.st_mode);
        if (regular && target.st_size == source.st_size) {
            struct stat again {};
            if (!detail::ReadFileAt(project.get(), name, current, again) && current == bytes) {
                if (SameTime(again.st_mtim, source.st_mtim))
                    continue;
                const timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
                if (::utimensat(project.get(), name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
                    NoteFailure(failures, names[i], detail::LastError());
                continue;
            }
        }
        Staged next{i, std::move(name), {}, regular ? static_cast<mode_t>(target.st_mode & 07777) : mode_t{0}, regular};
        error = detail::Fault("write", next.name);
        if (!error)
            error =
                detail::WriteTemporaryAt(project.get(), next.temporary, bytes, nullptr, &source.st_mtim, Flush::Skip);
        if (error) {
            NoteFailure(failures, names[i], error);
            continue;
        }
        staged.push_back(std::move(next));
    }
    SyncStaged(project.get(), staged, names, failures);
    if (staged.empty())
        return Sorted(std::move(failures));

    // Twins left alone above still hold their files, so the walk covers every name.
    CaseTwins twins(names);
    auto next = staged.begin();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (next != staged.end() && next->index == i) {
            Staged& s = *next++;
            if (twins.foldsIntoElder(i, project.get(), s.name)) {
                NoteFailure(failures, names[i], CaseClash());
                continue;
            }
            // A file the user made read-only stays so; failing to copy the bits loses nothing.
            if (s.replaces)
                (void)::fchmodat(project.get(), s.temporary.c_str(), s.mode, 0);
            error = detail::Fault("rename", s.name);
            if (error || ::renameat(project.get(), s.temporary.c_str(), project.get(), s.name.c_str()) != 0) {
                NoteFailure(failures, names[i], error ? error : detail::LastError());
                continue;
            }
            s.temporary.clear();
        }
        if (twins.inGroup(i))
            twins.hold(i, project.get(), Utf16ToUtf8(names[i]));
    }
    (void)::fsync(project.get());
    return Sorted(std::move(failures));
}

std::optional<std::size_t> FindItem(std::span<const std::u16string> entries, std::u16string_view name)
{
    const auto exact = std::find(entries.begin(), entries.end(), name);
    if (exact != entries.end())
        return static_cast<std::size_t>(exact - entries.begin());
    const auto folded =
        std::find_if(entries.begin(), entries.end(), [&](const std::u16string& e) { return EqualsNoCase(e, name); });
    if (folded != entries.end())
        return static_cast<std::size_t>(folded - entries.begin());
    return std::nullopt;
}

} // namespace quillory::store
