#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>

namespace quillory::store {

// The names a folder holds, read once at construction: every entry of any kind, hidden or not,
// so that nothing on disk is missed. Looked up without regard to the case of ASCII letters, the
// way item names compare. A folder that cannot be read holds no names.
class FolderNames {
public:
    explicit FolderNames(const std::filesystem::path& folder);

    [[nodiscard]] bool contains(std::u16string_view name) const;

private:
    std::unordered_set<std::string> m_folded; // UTF-8, ASCII letters upper-cased
};

} // namespace quillory::store
