#pragma once

#include "core/store/AtomicFile.h"
#include "core/store/FileFailure.h"
#include "core/store/UniqueFd.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The open project as the store keeps it: the project folder, the working buffer, and what each
// project file was when this program last copied it in or saved it. With that record a Save
// never replaces a file another program (a sync engine) changed since, and changes from elsewhere
// reach the buffer instead of being overwritten.
namespace quillory::store {

// A file as its folder shows it. A sync engine that replaces a file gives it a new inode, and
// one that rewrites it in place changes its size, times or change time, so any replacement shows.
struct FileStamp {
    bool present = false;
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0, changedNs = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

[[nodiscard]] FileStamp StampOf(const std::filesystem::path& file) noexcept;

// What a Save or a look at the folder did beyond writing this session's pages.
struct SyncReport {
    std::vector<FileFailure> failures;      // files that did not arrive
    std::vector<std::u16string> taken;      // changed or added elsewhere, now in the buffer
    std::vector<std::u16string> removed;    // deleted elsewhere and unchanged here: gone here too
    std::vector<std::u16string> savedAgain; // deleted elsewhere but edited here: saved again
    std::vector<std::pair<std::u16string, std::u16string>> conflicts; // page, the name this session's copy took

    [[nodiscard]] bool changedTheList() const noexcept
    {
        return !taken.empty() || !removed.empty() || !conflicts.empty();
    }
};

class Project {
public:
    explicit Project(std::filesystem::path bufferDir);

    [[nodiscard]] const std::filesystem::path& bufferDir() const noexcept { return m_buffer; }
    [[nodiscard]] const std::filesystem::path& folder() const noexcept { return m_folder; }

    // `folder` is now the project, its files just copied into the buffer: both as they stand
    // are the common ground.
    void opened(const std::filesystem::path& folder);
    // The buffer holds a session's unsaved pages over `folder` (a restored session): the project's
    // files as they stand are the ground, and every buffer page counts as changed here.
    void restored(const std::filesystem::path& folder);

    // Records `name` in both folders as it now stands (after this program wrote it in both), or
    // forgets it (after both copies went).
    void note(const std::u16string& name);
    void forget(const std::u16string& name);

    // A new item in the project and the buffer holding `bytes`; neither file is replaced if it
    // exists. When the second cannot be made, the first is removed again. On failure the path
    // that failed is in `where`.
    [[nodiscard]] std::error_code createItem(const std::u16string& name, std::string_view bytes, Flush projectFlush,
                                             std::filesystem::path& where);
    // Renames the item in both folders (an item never saved has only its buffer file); a failure
    // in the project undoes the buffer's rename.
    [[nodiscard]] std::error_code renameItem(const std::u16string& from, const std::u16string& to,
                                             std::filesystem::path& where);

    // Saves the pages that changed here since the ground (bytes or order stamp), and takes what
    // changed elsewhere: see SyncReport. `keep` names a page whose editor holds changes not yet in
    // its buffer file: it is never replaced from elsewhere. `now` names conflict copies.
    [[nodiscard]] SyncReport save(std::int64_t nowSeconds, const std::u16string& keep = {});
    // Takes what changed elsewhere without writing the project: pages added, changed or deleted
    // there while unchanged here. Pages changed on both sides wait for the next Save.
    [[nodiscard]] SyncReport absorb(const std::u16string& keep = {});

private:
    struct Ground {
        FileStamp project; // the project file when last seen
        FileStamp buffer;  // the buffer file then; absent: count it as changed here
    };

    [[nodiscard]] std::filesystem::path inProject(const std::u16string& name) const;
    [[nodiscard]] std::filesystem::path inBuffer(const std::u16string& name) const;
    // The pass's open folders, for take(); a folder that did not open fails every take.
    void openFolders();
    void take(const std::u16string& name, SyncReport& report);
    void removeHere(const std::u16string& name, SyncReport& report);
    void takeNewFromElsewhere(const std::unordered_set<std::u16string>& inBuffer, SyncReport& report);
    [[nodiscard]] std::u16string conflictName(const std::u16string& name, std::int64_t nowSeconds) const;

    std::filesystem::path m_buffer;
    std::filesystem::path m_folder;
    std::map<std::u16string, Ground> m_ground;
    UniqueFd m_projectFd, m_bufferFd;
    std::error_code m_passError;
};

} // namespace quillory::store
