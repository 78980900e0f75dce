#pragma once

#include "core/store/AtomicFile.h"
#include "core/store/UniqueFd.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include <sys/stat.h>
#include <ctime>

// The store's system calls, relative to open folders so that a pass over thousands of items
// resolves each folder path once. Internal to the store.
namespace quillory::store::detail {

[[nodiscard]] std::error_code LastError() noexcept;

// Fault injection for tests, since a test run as root can read and write every file: while a
// hook is set, the store asks it before each operation on an item file ("read", "write", "sync", "create",
// "rename") with the file's name (empty for a whole folder), and a reason it returns fails that
// operation as the system would. Not for use outside tests; no hook costs one load per call.
using FaultHook = std::function<std::error_code(std::string_view operation, std::string_view name)>;
void SetFaultHook(FaultHook hook);
[[nodiscard]] std::error_code Fault(std::string_view operation, std::string_view name);

// Opens a folder for use as the base of the *at calls.
[[nodiscard]] UniqueFd OpenFolder(const std::filesystem::path& folder, std::error_code& error) noexcept;

[[nodiscard]] std::error_code WriteAll(int fd, std::string_view bytes) noexcept;

enum class Links { Follow, Refuse };

// Reads a regular file `name` of the folder `dirFd` whole; `info` receives its status.
[[nodiscard]] std::error_code ReadFileAt(int dirFd, const std::string& name, std::string& bytes, struct stat& info,
                                         Links links = Links::Refuse);

// Creates a new hidden temporary file in the folder, named ".qly-" + 16 hex digits + ".tmp".
[[nodiscard]] UniqueFd CreateTemporaryAt(int dirFd, std::string& name, std::error_code& error);

// True for the names CreateTemporaryAt gives.
[[nodiscard]] bool IsOurTemporary(std::string_view name) noexcept;

// Writes `bytes` into a new temporary beside `name`: the mode of the file it will replace
// (`previous`, when there is one), the modification time `modified` when given. Closes it and
// leaves it in place for a later rename; `flush` syncs it first.
[[nodiscard]] std::error_code WriteTemporaryAt(int dirFd, std::string& temporary, std::string_view bytes,
                                               const struct stat* previous, const timespec* modified, Flush flush);

// The whole replacement of `name` in the folder `dirFd`: temporary, rename, and with
// Flush::ToDisk an fsync of the file and the folder. Removes the temporary on failure.
[[nodiscard]] std::error_code ReplaceAt(int dirFd, const std::string& name, std::string_view bytes,
                                        const timespec* modified, Flush flush);

[[nodiscard]] timespec ToTimespec(std::filesystem::file_time_type time) noexcept;
[[nodiscard]] std::filesystem::file_time_type FromTimespec(const timespec& time) noexcept;

} // namespace quillory::store::detail
