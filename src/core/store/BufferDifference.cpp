#include "core/store/BufferDifference.h"

#include "core/store/FolderListing.h"
#include "core/store/WholeFile.h"

#include <algorithm>
#include <unordered_set>

namespace quillory::store {

namespace {

namespace fs = std::filesystem;

bool SamePage(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    // The order stamp is the modification time: a page moved in the list differs too.
    if (fs::last_write_time(a, ec) != fs::last_write_time(b, ec) || ec)
        return false;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec)
        return false;
    const auto left = ReadWholeFile(a, ec);
    const auto right = left ? ReadWholeFile(b, ec) : std::nullopt;
    return left && right && *left == *right;
}

} // namespace

BufferDifference CompareBufferWithProject(const fs::path& bufferDir, const fs::path& projectDir)
{
    const std::vector<std::u16string> buffer = ListRegularFiles(bufferDir);
    const std::vector<std::u16string> project = ListRegularFiles(projectDir);
    const std::unordered_set<std::u16string> inProject(project.begin(), project.end());
    const std::unordered_set<std::u16string> inBuffer(buffer.begin(), buffer.end());
    BufferDifference difference;
    for (const std::u16string& name : buffer) {
        if (!inProject.contains(name))
            ++difference.added;
        else if (!SamePage(bufferDir / fs::path(name), projectDir / fs::path(name)))
            ++difference.changed;
    }
    difference.deleted = static_cast<std::size_t>(std::count_if(
        project.begin(), project.end(), [&](const std::u16string& name) { return !inBuffer.contains(name); }));
    return difference;
}

} // namespace quillory::store
