#include "core/store/AtomicFile.h"

#include "core/store/PosixIo.h"

#include <string>

namespace quillory::store {

namespace {

std::error_code Replace(const std::filesystem::path& target, std::string_view bytes, const timespec* modified,
                        Flush flush)
{
    const std::string name = target.filename().native();
    if (name.empty() || name == "." || name == "..")
        return std::make_error_code(std::errc::is_a_directory);
    std::error_code error;
    const UniqueFd folder = detail::OpenFolder(target.parent_path(), error);
    if (!folder)
        return error;
    return detail::ReplaceAt(folder.get(), name, bytes, modified, flush);
}

} // namespace

std::error_code ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes, Flush flush)
{
    return Replace(target, bytes, nullptr, flush);
}

std::error_code ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                      std::filesystem::file_time_type modified, Flush flush)
{
    const timespec time = detail::ToTimespec(modified);
    return Replace(target, bytes, &time, flush);
}

std::error_code CopyFileKeepingTime(const std::filesystem::path& from, const std::filesystem::path& to, Flush flush)
{
    std::error_code error;
    const UniqueFd folder = detail::OpenFolder(from.parent_path(), error);
    if (!folder)
        return error;
    std::string bytes;
    struct stat info {};
    if ((error = detail::ReadFileAt(folder.get(), from.filename().native(), bytes, info, detail::Links::Follow)))
        return error;
    return Replace(to, bytes, &info.st_mtim, flush);
}

} // namespace quillory::store
