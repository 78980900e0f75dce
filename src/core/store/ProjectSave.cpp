#include "core/store/ProjectStore.h"

#include "core/Utf.h"
#include "core/store/FolderListing.h"
#include "core/store/PosixIo.h"
#include "core/store/StorePasses.h"

#include <algorithm>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::store {

using namespace detail;

namespace {

// Up to this many new files are synced one by one; more are synced with their file system.
constexpr std::size_t kSyncOneByOne = 16;

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

} // namespace

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

    // Twins left alone above still hold their files, so the walk covers every name. Names a
    // folder folds together that the listing does not place side by side (other scripts than
    // Latin, other folding rules) are caught by the files this save already wrote.
    CaseTwins twins(names);
    std::vector<struct stat> written;
    auto next = staged.begin();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (next != staged.end() && next->index == i) {
            Staged& s = *next++;
            error = detail::Fault("rename", s.name);
            if (error) {
                NoteFailure(failures, names[i], error);
                continue;
            }
            struct stat target {};
            const bool wroteIt =
                ::fstatat(project.get(), s.name.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0 &&
                std::any_of(written.begin(), written.end(), [&](const struct stat& w) { return SameFile(w, target); });
            if (wroteIt || twins.foldsIntoElder(i, project.get(), s.name)) {
                NoteFailure(failures, names[i], CaseClash());
                continue;
            }
            // A file the user made read-only stays so; failing to copy the bits loses nothing.
            if (s.replaces)
                (void)::fchmodat(project.get(), s.temporary.c_str(), s.mode, 0);
            if (::renameat(project.get(), s.temporary.c_str(), project.get(), s.name.c_str()) != 0) {
                NoteFailure(failures, names[i], detail::LastError());
                continue;
            }
            s.temporary.clear();
            struct stat arrived {};
            if (::fstatat(project.get(), s.name.c_str(), &arrived, AT_SYMLINK_NOFOLLOW) == 0)
                written.push_back(arrived);
        }
        if (twins.inGroup(i))
            twins.hold(i, project.get(), Utf16ToUtf8(names[i]));
    }
    (void)::fsync(project.get());
    return Sorted(std::move(failures));
}

} // namespace quillory::store
