#pragma once

#include "core/store/AtomicFile.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Item files that are made or renamed by the item commands. None of these ever replaces an
// existing file: a name that is taken fails with std::errc::file_exists, also when another
// program takes it between a check and the operation.
namespace quillory::store {

// The list shows at most this many UTF-16 units of a name.
inline constexpr std::size_t kLongestItemName = 200;

// Why `name` cannot be an item, as a message for the user; absent when it can. An item's name
// is its file name, and the list shows file names trimmed and cut, so a name must be a file name
// here that the list shows unchanged: not blank, no "/", NUL or other control character, not "."
// or "..", not hidden (a leading "."), no blank at either end, at most 200 UTF-16 units and
// `nameMax` bytes of UTF-8.
[[nodiscard]] std::optional<std::u16string> ItemNameProblem(std::u16string_view name, std::size_t nameMax = 255);

// The longest file name, in bytes, that the folder's file system takes; 255 when it cannot say.
[[nodiscard]] std::size_t NameMaxOf(const std::filesystem::path& folder) noexcept;

// Creates `folder`/`name` holding `bytes`. The content is written to a hidden temporary first,
// which takes the name only when nothing holds it yet, so a failure leaves no partial file.
[[nodiscard]] std::error_code CreateItemFile(const std::filesystem::path& folder, std::u16string_view name,
                                             std::string_view bytes, Flush flush = Flush::ToDisk);

// Renames `folder`/`from` to `folder`/`to`, keeping its times. Where the file system cannot
// rename without replacing, a hard link and an unlink do the same.
[[nodiscard]] std::error_code RenameItemFile(const std::filesystem::path& folder, std::u16string_view from,
                                             std::u16string_view to);

// `name` when it is free, else the first free of name.1, name.2, ...
[[nodiscard]] std::u16string FirstFreeName(std::u16string_view name,
                                           const std::function<bool(std::u16string_view)>& taken);

} // namespace quillory::store
