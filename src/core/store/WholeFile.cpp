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

bool SameContent(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    // Sizes first: most pages that differ differ in length, and then neither is read.
    if (std::filesystem::file_size(a, ec) != std::filesystem::file_size(b, ec) || ec)
        return false;
    const auto left = ReadWholeFile(a, ec);
    const auto right = left ? ReadWholeFile(b, ec) : std::nullopt;
    return left && right && *left == *right;
}

} // namespace quillory::store
