#pragma once

#include <cstddef>
#include <filesystem>

namespace quillory::store {

// How the working buffer differs from its project folder, page by page.
struct BufferDifference {
    std::size_t added = 0;   // in the buffer only
    std::size_t changed = 0; // in both, with other bytes or another place in the list
    std::size_t deleted = 0; // in the project only

    [[nodiscard]] std::size_t total() const noexcept { return added + changed + deleted; }
};

// Compares the item files of both folders by exact name (hidden files are no items). A file
// either side cannot read counts as changed: its page may be the one not saved. A project folder
// that cannot be read has every buffer page added.
[[nodiscard]] BufferDifference CompareBufferWithProject(const std::filesystem::path& bufferDir,
                                                        const std::filesystem::path& projectDir);

} // namespace quillory::store
