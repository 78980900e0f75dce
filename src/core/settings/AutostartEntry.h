#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

// The desktop's log-on start: a freedesktop autostart entry "Quillory.desktop" in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart), which starts the program from its own folder.
namespace quillory::settings {

inline constexpr std::string_view kAutostartFileName = "Quillory.desktop";

// The entry's text for the program file at `programPath`, UTF-8, with the program quoted and
// escaped as the Desktop Entry rules for Exec want ("%" as "%%"). Absent when the path cannot be
// put into an entry: see AutostartPathProblem.
[[nodiscard]] std::optional<std::string> AutostartEntryText(const std::filesystem::path& programPath);

// Why no entry can start the program at `programPath`, in words for the user; empty when one
// can. An entry is UTF-8 text, so a path that is not UTF-8 cannot be written into it.
[[nodiscard]] std::u16string AutostartPathProblem(const std::filesystem::path& programPath);

// Creates `autostartDir` when missing and writes the entry atomically, replacing an older one.
// invalid_argument when AutostartEntryText has no text for the path.
[[nodiscard]] std::error_code WriteAutostartEntry(const std::filesystem::path& autostartDir,
                                                  const std::filesystem::path& programPath);

// Deletes the entry; an entry that is already gone is no failure.
[[nodiscard]] std::error_code RemoveAutostartEntry(const std::filesystem::path& autostartDir);

// Whether the entry exists (what "Start with Windows" shows at start).
[[nodiscard]] bool HasAutostartEntry(const std::filesystem::path& autostartDir);

} // namespace quillory::settings
