#include "core/store/BufferDifference.h"

#include "core/store/FolderListing.h"
#include "core/store/WholeFile.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace quillory::store {

namespace {

namespace fs = std::filesystem;

// `names` in the order their files' modification times give (the list's order), equal times by
// name.
std::vector<std::u16string> InListOrder(const fs::path& folder, std::vector<std::u16string> names)
{
    std::unordered_map<std::u16string, fs::file_time_type> times;
    std::error_code ec;
    for (const std::u16string& name : names)
        times[name] = fs::last_write_time(folder / fs::path(name), ec);
    std::stable_sort(names.begin(), names.end(), [&](const std::u16string& a, const std::u16string& b) {
        return times[a] != times[b] ? times[a] < times[b] : a < b;
    });
    return names;
}

} // namespace

BufferDifference CompareBufferWithProject(const fs::path& bufferDir, const fs::path& projectDir)
{
    const std::vector<std::u16string> buffer = ListRegularFiles(bufferDir);
    const std::vector<std::u16string> project = ListRegularFiles(projectDir);
    const std::unordered_set<std::u16string> inProject(project.begin(), project.end());
    const std::unordered_set<std::u16string> inBuffer(buffer.begin(), buffer.end());
    BufferDifference difference;
    std::vector<std::u16string> common;
    std::unordered_set<std::u16string> changed;
    for (const std::u16string& name : buffer) {
        if (!inProject.contains(name)) {
            ++difference.added;
            continue;
        }
        common.push_back(name);
        if (!SameContent(bufferDir / fs::path(name), projectDir / fs::path(name)))
            changed.insert(name);
    }
    // A page moved in the list is unsaved too; the times themselves may differ without that (the
    // buffer is stamped by position, a project from elsewhere may not be).
    const std::vector<std::u16string> here = InListOrder(bufferDir, common);
    const std::vector<std::u16string> there = InListOrder(projectDir, common);
    for (std::size_t i = 0; i < here.size(); ++i)
        if (here[i] != there[i])
            changed.insert(here[i]);
    difference.changed = changed.size();
    difference.deleted = static_cast<std::size_t>(std::count_if(
        project.begin(), project.end(), [&](const std::u16string& name) { return !inBuffer.contains(name); }));
    return difference;
}

} // namespace quillory::store
