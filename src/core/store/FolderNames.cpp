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

// Unicode's folding, as a file system that ignores case applies it.
std::u16string Folded(std::u16string_view name)
{
    return FoldedName(name);
}

} // namespace

FolderNames::FolderNames(const std::filesystem::path& folder)
{
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            m_folded.insert(Folded(Utf8ToUtf16(name)));
    }
}

bool FolderNames::contains(std::u16string_view name) const
{
    return m_folded.contains(Folded(name));
}

} // namespace quillory::store
