#pragma once

#include <array>
#include <optional>
#include <string>

// GNOME's keyboard shortcuts, read and extended through GSettings (dconf), for GNOME sessions
// without the GlobalShortcuts portal. Everything here runs on the calling thread and returns at
// once: dconf reads from a memory map and writes through its own service.
namespace quillory::gnome {

struct Survey {
    unsigned freeMask = 0; // Ctrl+F<id> not used by GNOME's keybindings or its custom shortcuts
    unsigned oursMask = 0; // custom shortcuts of ours already there
};

// Whether this is a GNOME session whose settings store keeps custom shortcuts.
[[nodiscard]] bool Offered();

// Which hotkeys GNOME leaves free and which it already runs as our commands.
[[nodiscard]] Survey Look();

// Adds a custom shortcut for each hotkey in `mask`, running commands[id-1] (UTF-8), named after
// what the hotkey does. False with the reason in `why` when the settings cannot be written.
[[nodiscard]] bool Bind(unsigned mask, const std::array<std::string, 5>& commands, std::string& why);

} // namespace quillory::gnome
