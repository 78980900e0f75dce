#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Quillory's hotkeys as keyboard shortcuts of GNOME's own settings, for GNOME sessions without
// the GlobalShortcuts portal: each key runs the command that acts on the running program.
namespace quillory {

// An accelerator as GTK writes it ("<Primary><Shift>F1", "<Control>F1", "<Ctrl>f1") in one
// spelling: the modifiers in a fixed order, the key in lower case ("ctrl+shift+f1"). Empty for
// "", "disabled" and text that is no accelerator.
[[nodiscard]] std::string CanonicalAccelerator(std::string_view accelerator);

// The accelerator asked for hotkey `id` (1..5): "<Control>F<id>".
[[nodiscard]] std::string AskedAccelerator(int id);

// Bit id-1 set for each hotkey whose accelerator none of `used` (any spelling) takes already.
[[nodiscard]] unsigned FreeHotkeys(const std::vector<std::string>& used);

// The settings path of the custom shortcut that runs hotkey `id`'s command, under GNOME's media
// keys: ".../custom-keybindings/quillory-copy/".
[[nodiscard]] std::string CustomKeybindingPath(int id);

// `paths` (GNOME's list of custom shortcuts) with the paths of the hotkeys in `mask` added after
// them, each once.
[[nodiscard]] std::vector<std::string> WithHotkeyPaths(std::vector<std::string> paths, unsigned mask);

// `word` as one word of a command line that GNOME (and a shell) splits: as it is where it has
// only letters, digits and "/._+-", else in single quotes.
[[nodiscard]] std::string CommandWord(std::string_view word);

} // namespace quillory
