#include "core/store/AtomicFile.h"

#include "core/store/PosixIo.h"

#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory::store {

namespace {

enum class Unchanged { Replace, Keep };

std::error_code Replace(const std::filesystem::path& target, std::string_view bytes, const timespec* modified,
                        Flush flush, Unchanged unchanged = Unchanged::Replace)
{
    const std::string name = target.filename().native();
    if (name.empty() || name == "." || name == "..")
        return std::make_error_code(std::errc::is_a_directory);
    std::error_code error;
    const UniqueFd folder = detail::OpenFolder(target.parent_path(), error);
    if (!folder)
        return error;
    if (unchanged == Unchanged::Keep) {
        struct stat info {};
        std::string current;
        if (::fstatat(folder.get(), name.c_str(), &info, 0) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::size_t>(info.st_size) == bytes.size() &&
            !detail::ReadFileAt(folder.get(), name, current, info, detail::Links::Follow) && current == bytes) {
            // It may have been written without a sync.
            if (flush == Flush::ToDisk) {
                const UniqueFd fd(::openat(folder.get(), name.c_str(), O_RDONLY | O_CLOEXEC));
                if (!fd || ::fsync(fd.get()) != 0)
                    return detail::LastError();
            }
            return {};
        }
    }
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

std::error_code ReplaceFileIfChanged(const std::filesystem::path& target, std::string_view bytes, Flush flush)
{
    return Replace(target, bytes, nullptr, flush, Unchanged::Keep);
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

std::filesystem::path ThroughLinks(const std::filesystem::path& path)
{
    // As the system follows links, and no further than it would (a loop ends there).
    constexpr int kMostLinks = 40;
    std::filesystem::path at = path;
    std::error_code ec;
    for (int hops = 0; hops < kMostLinks && std::filesystem::is_symlink(at, ec); ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(at, ec);
        if (ec)
            return path;
        // A link that leads nowhere yet still names where the file belongs.
        at = (target.is_absolute() ? target : at.parent_path() / target).lexically_normal();
    }
    return at;
}

} // namespace quillory::store
