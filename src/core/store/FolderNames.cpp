#include "core/store/FolderNames.h"

#include "core/Utf.h"

#include <memory>

#include <dirent.h>

namespace quillory::store {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const noexcept { ::closedir(dir); }
};

// Upper-casing the ASCII letters of UTF-8 leaves every byte of a longer sequence alone, so this
// is the same folding as on the UTF-16 text.
std::string Folded(std::string bytes)
{
    for (char& c : bytes)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    return bytes;
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
            m_folded.insert(Folded(std::string(name)));
    }
}

bool FolderNames::contains(std::u16string_view name) const
{
    return m_folded.contains(Folded(Utf16ToUtf8(name)));
}

} // namespace quillory::store
