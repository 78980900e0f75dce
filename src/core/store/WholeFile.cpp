#include "core/store/WholeFile.h"

#include "core/store/PosixIo.h"

namespace quillory::store {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::error_code& error)
{
    const UniqueFd folder = detail::OpenFolder(file.parent_path(), error);
    if (!folder)
        return std::nullopt;
    std::string bytes;
    struct stat info {};
    if ((error = detail::ReadFileAt(folder.get(), file.filename().native(), bytes, info, detail::Links::Follow)))
        return std::nullopt;
    return bytes;
}

} // namespace quillory::store
