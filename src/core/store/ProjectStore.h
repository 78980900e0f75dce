#pragma once

#include "core/store/FileFailure.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The working buffer and the project folder: item files named by the items, ordered by their
// modification times (OrderStamp.h). All names are exact file names; lookups that ignore case
// go through FindItem, so two files that differ only in case stay two items.
namespace quillory::store {

// One entry of the rebuilt list: what the list shows (cut to 200 UTF-16 units, trimmed) and the
// file it came from, which differs when the name was shortened.
struct OrderedItem {
    std::u16string shown;
    std::u16string fileName;

    friend bool operator==(const OrderedItem&, const OrderedItem&) = default;
};

struct LoadResult {
    std::vector<std::u16string> names; // the project's listing, by name
    std::vector<FileFailure> failures; // the files that did not reach the buffer, in listing order
};

// Deletes the buffer's item files, and temporaries left by an interrupted write. Files that
// cannot be deleted stay, silently.
void ClearBuffer(const std::filesystem::path& bufferDir);

// Lists the project folder and copies each listed file into the buffer with its modification
// time, replacing a file of the same name (one equal in content is kept and gets the time). A copy
// that fails is passed over (and reported in the result); so is a name whose case-twin the buffer
// folder would fold into the same file. Temporaries an interrupted save left in the project
// folder are removed.
[[nodiscard]] LoadResult LoadProjectIntoBuffer(const std::filesystem::path& projectDir,
                                               const std::filesystem::path& bufferDir);

// ClearBuffer followed by LoadProjectIntoBuffer, with the same result in one pass: buffer files
// the project does not list are deleted, and those already equal to their project file are kept
// rather than deleted and copied again. A project folder that cannot be read leaves the buffer
// empty and is reported with an empty name.
[[nodiscard]] LoadResult RefillBuffer(const std::filesystem::path& projectDir, const std::filesystem::path& bufferDir);

// Sets the modification time of the buffer file of names[i] to OrderStamp(i), leaving the other
// times alone. Files that are missing, not regular or refuse the change are passed over; a file
// that already carries its stamp is not touched. True when every name is a file with its stamp.
bool StampAll(const std::filesystem::path& bufferDir, std::span<const std::u16string> names);

// The buffer's files in order-key order: key text, U+00A0, name, sorted by CompareNoCase.
[[nodiscard]] std::vector<OrderedItem> OrderedItems(const std::filesystem::path& bufferDir);
// Only the shown names of OrderedItems.
[[nodiscard]] std::vector<std::u16string> OrderedNames(const std::filesystem::path& bufferDir);

// A file name as the list shows it: at most 200 UTF-16 units (never half a surrogate pair),
// without leading and trailing blanks and control characters.
[[nodiscard]] std::u16string ShownName(std::u16string_view fileName);

// Copies every buffer file into the project folder, keeping its modification time. Each file is
// replaced atomically and synced before it takes its name; a file already equal in content and
// time is left alone, one equal in content gets only its time. Nothing of the user's is deleted;
// temporaries an interrupted save left behind are. A file that fails is passed over and the others
// are still saved: the result lists every failure (a folder that cannot be opened as one failure
// with an empty name), and is empty when every file arrived. Given `only`, just those names.
[[nodiscard]] std::vector<FileFailure> CopyBufferToProject(const std::filesystem::path& bufferDir,
                                                           const std::filesystem::path& projectDir,
                                                           const std::vector<std::u16string>* only = nullptr);

// The index of the entry equal to `name`: the exact one when there is one, else the first equal
// without regard to case; absent when none is.
[[nodiscard]] std::optional<std::size_t> FindItem(std::span<const std::u16string> entries, std::u16string_view name);

} // namespace quillory::store
