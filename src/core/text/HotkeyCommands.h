#pragma once

#include <optional>
#include <string>
#include <string_view>

// The hotkeys as commands, for desktops that run a command on a key of their own settings rather
// than passing keys to a program: `quillory --copy` does what Ctrl+F4 does, in the running program.
namespace quillory {

// "--show", "--previous", "--next", "--copy", "--hide" for hotkey ids 1..5; empty for any other id.
[[nodiscard]] std::string_view HotkeyOption(int id);
// The hotkey id an argument names, or nullopt.
[[nodiscard]] std::optional<int> HotkeyForOption(std::string_view argument);

// What a command asks of the running program, as one line on its socket: the hotkey id and the
// activation token the desktop gave the command (for taking the focus), possibly empty.
struct HotkeyRequest {
    int id = 0;
    std::string activationToken;
    friend bool operator==(const HotkeyRequest&, const HotkeyRequest&) = default;
};

// "hotkey <id>[ <token>]\n". A token that is empty, too long or holds anything but printable
// ASCII without blanks is left out: it could only be refused by the desktop.
[[nodiscard]] std::string EncodeHotkeyRequest(const HotkeyRequest& request);
// The request a line (without its line feed) carries. "show", what a second start sends, is the
// show hotkey. nullopt for anything else.
[[nodiscard]] std::optional<HotkeyRequest> DecodeHotkeyRequest(std::string_view line);

} // namespace quillory
