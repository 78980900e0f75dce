#pragma once

#include <filesystem>
#include <span>
#include <string>

namespace quillory::store {

// Whether the item files of `folder`, as ListRegularFiles finds them, are exactly `names`, in
// any order: every name a file, and no other file.
[[nodiscard]] bool ListsExactly(const std::filesystem::path& folder, std::span<const std::u16string> names);

} // namespace quillory::store
