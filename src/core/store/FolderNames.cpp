#include "core/store/FolderNames.h"

#include "core/Utf.h"
#include "core/text/CaseFold.h"

#include <memory>

#include <dirent.h>

namespace quillory::store {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const noexcept { ::closedir(dir); }
};

} // namespace

FolderNames::FolderNames(const std::filesystem::path& folder)
{
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            m_folded.insert(FoldedName(Utf8ToUtf16(name)));
    }
}

bool FolderNames::contains(std::u16string_view name) const
{
    return m_folded.contains(FoldedName(name));
}

} // namespace quillory::store
