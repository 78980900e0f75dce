#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>

namespace quillory::store {

// The names a folder holds, read once at construction: every entry of any kind, hidden or not,
// so that nothing on disk is missed. Looked up without regard to case as Unicode folds it, since a
// folder that ignores case would give two such names one file. A folder that cannot be read holds
// no names.
class FolderNames {
public:
    explicit FolderNames(const std::filesystem::path& folder);

    [[nodiscard]] bool contains(std::u16string_view name) const;

private:
    std::unordered_set<std::u16string> m_folded;
};

} // namespace quillory::store
