#include "core/store/Project.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/text/CaseFold.h"
#include "core/store/FolderListing.h"
#include "core/store/ItemFiles.h"
#include "core/store/PosixIo.h"
#include "core/store/ProjectStore.h"
#include "core/store/WholeFile.h"

#include <algorithm>
#include <ctime>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::store {

namespace fs = std::filesystem;

namespace {

std::int64_t Nanoseconds(const timespec& t) noexcept
{
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

FileStamp StampOf(const fs::path& file) noexcept
{
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return {true,
            static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            Nanoseconds(info.st_mtim),
            Nanoseconds(info.st_ctim)};
}

Project::Project(fs::path bufferDir) : m_buffer(std::move(bufferDir))
{
}

fs::path Project::inProject(const std::u16string& name) const
{
    return m_folder / fs::path(name);
}

fs::path Project::inBuffer(const std::u16string& name) const
{
    return m_buffer / fs::path(name);
}

void Project::opened(const fs::path& folder)
{
    m_folder = folder;
    m_ground.clear();
    for (const std::u16string& name : ListRegularFiles(m_folder))
        note(name);
}

void Project::restored(const fs::path& folder)
{
    m_folder = folder;
    m_ground.clear();
    for (const std::u16string& name : ListRegularFiles(m_folder))
        m_ground[name] = {StampOf(inProject(name)), {}};
}

void Project::note(const std::u16string& name)
{
    m_ground[name] = {StampOf(inProject(name)), StampOf(inBuffer(name))};
}

void Project::forget(const std::u16string& name)
{
    m_ground.erase(name);
}

std::error_code Project::createItem(const std::u16string& name, std::string_view bytes, Flush projectFlush,
                                    fs::path& where)
{
    where = inProject(name);
    if (std::error_code ec = CreateItemFile(m_folder, name, bytes, projectFlush))
        return ec;
    where = inBuffer(name);
    if (std::error_code ec = CreateItemFile(m_buffer, name, bytes, Flush::Skip)) {
        // Never half an item: the project's file was made just now, by this call.
        std::error_code ignored;
        fs::remove(inProject(name), ignored);
        return ec;
    }
    note(name);
    return {};
}

std::error_code Project::renameItem(const std::u16string& from, const std::u16string& to, fs::path& where)
{
    where = inBuffer(from);
    if (std::error_code ec = RenameItemFile(m_buffer, from, to))
        return ec;
    // An item not saved yet has no project file to rename; any other failure undoes the rename,
    // so the two folders never name the item differently.
    where = inProject(from);
    const std::error_code ec = RenameItemFile(m_folder, from, to);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        (void)RenameItemFile(m_buffer, to, from);
        return ec;
    }
    const auto ground = m_ground.find(from);
    if (ground != m_ground.end()) {
        m_ground.erase(ground);
        if (!ec)
            note(to);
    }
    return {};
}

void Project::take(const std::u16string& name, SyncReport& report)
{
    std::error_code ec = m_passError;
    std::string bytes;
    struct stat info {};
    const std::string file = Utf16ToUtf8(name);
    if (!ec)
        ec = detail::ReadFileAt(m_projectFd.get(), file, bytes, info);
    // With its time, which is its place in the other machine's order.
    if (!ec)
        ec = detail::ReplaceAt(m_bufferFd.get(), file, bytes, &info.st_mtim, Flush::Skip);
    if (ec) {
        report.failures.push_back({name, ec});
        return;
    }
    note(name);
    report.taken.push_back(name);
}

void Project::removeHere(const std::u16string& name, SyncReport& report)
{
    std::error_code ec;
    fs::remove(inBuffer(name), ec);
    if (ec) {
        report.failures.push_back({name, ec});
        return;
    }
    forget(name);
    report.removed.push_back(name);
}

std::u16string Project::conflictName(const std::u16string& name, std::int64_t nowSeconds) const
{
    const auto now = static_cast<std::time_t>(nowSeconds);
    std::tm local{};
    localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, " (conflict %Y-%m-%d %H%M)", &local);
    const std::u16string suffix = Utf8ToUtf16(when);
    // Room for the suffix and a ".N" within the longest name the list shows.
    std::u16string base = name.substr(0, kLongestItemName - suffix.size() - 4) + suffix;
    const std::vector<std::u16string> taken[2] = {ListRegularFiles(m_buffer), ListRegularFiles(m_folder)};
    return FirstFreeName(base, [&](std::u16string_view candidate) {
        return std::any_of(std::begin(taken), std::end(taken), [&](const std::vector<std::u16string>& names) {
            return std::any_of(names.begin(), names.end(),
                               [&](const std::u16string& n) { return SameNameIgnoringCase(n, candidate); });
        });
    });
}

void Project::takeNewFromElsewhere(const std::unordered_set<std::u16string>& inBuffer, SyncReport& report)
{
    // Added elsewhere, or changed there since this program saw it. A page that is in the project
    // as it was seen but not in the buffer (its copy failed, or it was never loaded) stays where
    // it is safe.
    for (const std::u16string& name : ListRegularFiles(m_folder)) {
        if (inBuffer.contains(name))
            continue;
        const auto ground = m_ground.find(name);
        if (ground == m_ground.end() || ground->second.project != StampOf(inProject(name)))
            take(name, report);
    }
}

void Project::openFolders()
{
    // Once for a whole pass, not once for each page taken.
    m_passError.clear();
    m_projectFd = detail::OpenFolder(m_folder, m_passError);
    if (m_projectFd)
        m_bufferFd = detail::OpenFolder(m_buffer, m_passError);
}

SyncReport Project::absorb(const std::u16string& keep)
{
    SyncReport report;
    openFolders();
    const std::vector<std::u16string> buffer = ListRegularFiles(m_buffer);
    const std::unordered_set<std::u16string> inBufferSet(buffer.begin(), buffer.end());
    for (const std::u16string& name : buffer) {
        const auto ground = m_ground.find(name);
        if (ground == m_ground.end() || name == keep || ground->second.buffer != StampOf(inBuffer(name)))
            continue; // changed here: the next Save settles it
        const FileStamp there = StampOf(inProject(name));
        if (ground->second.project == there)
            continue;
        if (there.present)
            take(name, report);
        else
            removeHere(name, report);
    }
    takeNewFromElsewhere(inBufferSet, report);
    return report;
}

SyncReport Project::save(std::int64_t nowSeconds, const std::u16string& keep)
{
    SyncReport report;
    openFolders();
    if (!m_projectFd) {
        report.failures.push_back({{}, m_passError});
        return report;
    }
    const std::vector<std::u16string> buffer = ListRegularFiles(m_buffer);
    const std::unordered_set<std::u16string> inBufferSet(buffer.begin(), buffer.end());
    std::vector<std::u16string> toWrite;
    for (const std::u16string& name : buffer) {
        const auto ground = m_ground.find(name);
        const FileStamp here = StampOf(inBuffer(name));
        const FileStamp there = StampOf(inProject(name));
        const bool changedHere = ground == m_ground.end() || name == keep || ground->second.buffer != here;
        const bool changedThere = ground == m_ground.end() ? there.present : ground->second.project != there;
        if (!changedThere) {
            if (changedHere)
                toWrite.push_back(name);
            continue;
        }
        if (!changedHere) {
            if (there.present)
                take(name, report);
            else
                removeHere(name, report);
            continue;
        }
        if (!there.present) {
            report.savedAgain.push_back(name);
            toWrite.push_back(name);
            continue;
        }
        if (SameContent(inBuffer(name), inProject(name))) {
            // Both sides made the same change; the order stamp is this Save's.
            toWrite.push_back(name);
            continue;
        }
        // Both kept: the other machine's page keeps the name, this session's goes beside it.
        const std::u16string copy = conflictName(name, nowSeconds);
        if (const std::error_code renamed = RenameItemFile(m_buffer, name, copy)) {
            report.failures.push_back({name, renamed});
            continue;
        }
        forget(name);
        take(name, report);
        std::erase(report.taken, name);
        report.conflicts.emplace_back(name, copy);
        toWrite.push_back(copy);
    }
    takeNewFromElsewhere(inBufferSet, report);

    std::vector<FileFailure> failures = CopyBufferToProject(m_buffer, m_folder, &toWrite);
    for (const std::u16string& name : toWrite)
        if (std::none_of(failures.begin(), failures.end(), [&](const FileFailure& f) { return f.name == name; }))
            note(name);
    report.failures.insert(report.failures.end(), failures.begin(), failures.end());
    return report;
}

} // namespace quillory::store
