#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace quillory::store {

// The bytes of a file, or absent with the system's reason in `error` (no_such_file_or_directory
// for an absent file, which callers of settings files treat as "use the defaults").
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::error_code& error);

// Whether both files hold the same bytes; false when either cannot be read.
[[nodiscard]] bool SameContent(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace quillory::store
