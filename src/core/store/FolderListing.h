#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillory::store {

// The item files of a folder, read afresh on every call: regular files only (no subfolders,
// links, sockets or other special files), not hidden (a name beginning with "."), and only
// names that are valid UTF-8, since another name could not be written back under the same bytes.
// Sorted by CompareNoCase, names equal but for case by code unit, so such names stand together.
// Never fails: a folder that cannot be read gives an empty list.
[[nodiscard]] std::vector<std::u16string> ListRegularFiles(const std::filesystem::path& folder);

// Deletes the temporaries this program's interrupted writes left in the folder, and nothing
// else; a folder that cannot be read is left as it is.
void RemoveOurTemporaries(const std::filesystem::path& folder);

namespace detail {

// The same for a folder open as `dirFd` (left open).
[[nodiscard]] std::vector<std::u16string> ListRegularFilesAt(int dirFd);

// Deletes the temporaries this program's interrupted writes left in the folder (its own name
// pattern only; no other hidden file is touched).
void RemoveOurTemporariesAt(int dirFd);

// The listing's order.
[[nodiscard]] bool ListedBefore(const std::u16string& a, const std::u16string& b) noexcept;

} // namespace detail

} // namespace quillory::store
