#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace quillory::store {

// ToDisk: the new content is on the disk before the call returns (project files, settings).
// Skip: for the working buffer, which start-up discards anyway; the replacement is still
// atomic, so a failed write never leaves a truncated file behind.
enum class Flush { ToDisk, Skip };

// Replaces (or creates) `target` with `bytes`: writes a hidden temporary file in the same folder,
// syncs it, and renames it over the target, which keeps its permission bits. On failure the
// temporary is removed, the old file is untouched and the system's reason is returned.
[[nodiscard]] std::error_code ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                                    Flush flush = Flush::ToDisk);

// The same, with `modified` set as the new file's modification time before it takes the name.
[[nodiscard]] std::error_code ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                                    std::filesystem::file_time_type modified,
                                                    Flush flush = Flush::ToDisk);

// ReplaceFileAtomically, unless `target` already holds exactly `bytes`: then nothing is written
// and the file keeps its times (with Flush::ToDisk it is synced). Made for the page write of an
// item switch, where the page has usually not changed and its time is restamped right after.
[[nodiscard]] std::error_code ReplaceFileIfChanged(const std::filesystem::path& target, std::string_view bytes,
                                                   Flush flush = Flush::ToDisk);

// Copies the regular file `from` over `to` atomically, keeping its modification time.
[[nodiscard]] std::error_code CopyFileKeepingTime(const std::filesystem::path& from, const std::filesystem::path& to,
                                                  Flush flush = Flush::ToDisk);

// The file writing `path` should replace: where `path` is a symbolic link (a settings file kept
// by a dotfile manager), the file it leads to, followed to the end; else `path` itself.
[[nodiscard]] std::filesystem::path ThroughLinks(const std::filesystem::path& path);

} // namespace quillory::store
