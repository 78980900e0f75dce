#include "core/store/PosixIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace quillory::store::detail {

namespace {

constexpr std::string_view kTemporaryPrefix = ".qly-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kTemporaryDigits = 16;

// Removes a temporary unless the rename took it.
class TemporaryGuard {
public:
    TemporaryGuard(int dirFd, const std::string& name) noexcept : m_dirFd(dirFd), m_name(name) {}
    TemporaryGuard(const TemporaryGuard&) = delete;
    TemporaryGuard& operator=(const TemporaryGuard&) = delete;
    ~TemporaryGuard()
    {
        if (m_armed)
            ::unlinkat(m_dirFd, m_name.c_str(), 0);
    }
    void release() noexcept { m_armed = false; }

private:
    int m_dirFd;
    const std::string& m_name;
    bool m_armed = true;
};

FaultHook& Hook()
{
    static FaultHook hook;
    return hook;
}

} // namespace

std::error_code LastError() noexcept
{
    return {errno, std::system_category()};
}

void SetFaultHook(FaultHook hook)
{
    Hook() = std::move(hook);
}

std::error_code Fault(std::string_view operation, std::string_view name)
{
    const FaultHook& hook = Hook();
    return hook ? hook(operation, name) : std::error_code();
}

UniqueFd OpenFolder(const std::filesystem::path& folder, std::error_code& error) noexcept
{
    UniqueFd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    error = fd ? std::error_code() : LastError();
    return fd;
}

std::error_code WriteAll(int fd, std::string_view bytes) noexcept
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code ReadFileAt(int dirFd, const std::string& name, std::string& bytes, struct stat& info, Links links)
{
    bytes.clear();
    if (const std::error_code fault = Fault("read", name))
        return fault;
    const int noFollow = links == Links::Refuse ? O_NOFOLLOW : 0;
    // Without blocking: opening a pipe for reading waits for a writer, for ever if none comes. A
    // regular file reads the same either way, and nothing else is read.
    UniqueFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | noFollow));
    if (!fd)
        return LastError();
    if (::fstat(fd.get(), &info) != 0)
        return LastError();
    if (!S_ISREG(info.st_mode))
        return std::make_error_code(std::errc::invalid_argument);
    // One byte more than the size, so a file that has not grown ends at the second read.
    bytes.resize(std::max<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, 512));
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const auto error = LastError();
            bytes.clear();
            return error;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return {};
}

UniqueFd CreateTemporaryAt(int dirFd, std::string& name, std::error_code& error)
{
    thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    for (int attempt = 0; attempt < 64; ++attempt) {
        name.assign(kTemporaryPrefix);
        std::uint64_t bits = random();
        for (std::size_t i = 0; i < kTemporaryDigits; ++i, bits >>= 4)
            name.push_back(kHex[bits & 0xF]);
        name.append(kTemporarySuffix);
        UniqueFd fd(::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd) {
            error.clear();
            return fd;
        }
        if (errno != EEXIST) {
            error = LastError();
            return {};
        }
    }
    error = std::make_error_code(std::errc::file_exists);
    return {};
}

bool IsOurTemporary(std::string_view name) noexcept
{
    if (name.size() != kTemporaryPrefix.size() + kTemporaryDigits + kTemporarySuffix.size())
        return false;
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix))
        return false;
    const auto digits = name.substr(kTemporaryPrefix.size(), kTemporaryDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::error_code WriteTemporaryAt(int dirFd, std::string& temporary, std::string_view bytes, const struct stat* previous,
                                 const timespec* modified, Flush flush)
{
    std::error_code error;
    UniqueFd fd = CreateTemporaryAt(dirFd, temporary, error);
    if (!fd)
        return error;
    TemporaryGuard guard(dirFd, temporary);
    if ((error = WriteAll(fd.get(), bytes)))
        return error;
    // A file the user made read-only stays so; failing to copy the bits loses nothing.
    if (previous != nullptr)
        (void)::fchmod(fd.get(), previous->st_mode & 07777);
    if (modified != nullptr) {
        const timespec times[2] = {{0, UTIME_OMIT}, *modified};
        if (::futimens(fd.get(), times) != 0)
            return LastError();
    }
    if (flush == Flush::ToDisk && ::fsync(fd.get()) != 0)
        return LastError();
    if (fd.close() != 0)
        return LastError();
    guard.release();
    return {};
}

std::error_code ReplaceAt(int dirFd, const std::string& name, std::string_view bytes, const timespec* modified,
                          Flush flush)
{
    if (const std::error_code fault = Fault("write", name))
        return fault;
    struct stat previous {};
    const bool replacing = ::fstatat(dirFd, name.c_str(), &previous, 0) == 0 && S_ISREG(previous.st_mode);
    std::string temporary;
    if (auto error = WriteTemporaryAt(dirFd, temporary, bytes, replacing ? &previous : nullptr, modified, flush))
        return error;
    if (::renameat(dirFd, temporary.c_str(), dirFd, name.c_str()) != 0) {
        const auto error = LastError();
        ::unlinkat(dirFd, temporary.c_str(), 0);
        return error;
    }
    // Makes the rename itself survive a power cut; either way the file is whole, old or new.
    if (flush == Flush::ToDisk)
        (void)::fsync(dirFd);
    return {};
}

timespec ToTimespec(std::filesystem::file_time_type time) noexcept
{
    using namespace std::chrono;
    const auto ns = duration_cast<nanoseconds>(file_clock::to_sys(time).time_since_epoch()).count();
    constexpr std::int64_t kPerSecond = 1'000'000'000;
    std::int64_t seconds = ns / kPerSecond;
    std::int64_t rest = ns % kPerSecond;
    if (rest < 0) {
        rest += kPerSecond;
        --seconds;
    }
    timespec result{};
    result.tv_sec = static_cast<time_t>(seconds);
    result.tv_nsec = static_cast<long>(rest);
    return result;
}

std::filesystem::file_time_type FromTimespec(const timespec& time) noexcept
{
    using namespace std::chrono;
    const sys_time<nanoseconds> sys{seconds{time.tv_sec} + nanoseconds{time.tv_nsec}};
    return time_point_cast<std::filesystem::file_time_type::duration>(file_clock::from_sys(sys));
}

} // namespace quillory::store::detail
