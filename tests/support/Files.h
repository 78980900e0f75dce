#pragma once

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>

namespace quillory::test {

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file as a sync engine delivers it: written as a hidden temporary of the engine's own, then
// renamed over the file, which so gets a new inode.
inline void Deliver(const std::filesystem::path& file, std::string_view bytes)
{
    const std::filesystem::path temporary = file.parent_path() / (".syncthing." + file.filename().string() + ".tmp");
    WriteFile(temporary, bytes);
    std::filesystem::rename(temporary, file);
}

inline struct stat StatOf(const std::filesystem::path& file)
{
    struct stat info {};
    ::lstat(file.c_str(), &info);
    return info;
}

inline std::time_t ModifiedOf(const std::filesystem::path& file)
{
    return StatOf(file).st_mtim.tv_sec;
}

inline void SetModified(const std::filesystem::path& file, std::time_t time)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

// Local midnight of a calendar day.
inline std::time_t LocalMidnight(int year, int month, int day)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

// Every name in a folder, hidden ones included.
inline std::set<std::string> AllNames(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace quillory::test
