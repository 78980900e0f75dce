#include "core/store/ListMatch.h"

#include "core/store/FolderListing.h"

#include <algorithm>
#include <vector>

namespace quillory::store {

bool ListsExactly(const std::filesystem::path& folder, std::span<const std::u16string> names)
{
    const std::vector<std::u16string> listed = ListRegularFiles(folder);
    if (listed.size() != names.size())
        return false;
    std::vector<std::u16string> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end(), detail::ListedBefore);
    return sorted == listed;
}

} // namespace quillory::store
