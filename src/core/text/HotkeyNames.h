#pragma once

#include <array>
#include <string>
#include <string_view>

// How the five system-wide hotkeys are named to the user when the desktop, not the program,
// decides which keys they are.
namespace quillory {

inline constexpr int kHotkeyCount = 5;

// The hotkeys' ids: Ctrl+F1 to Ctrl+F5, in this order.
enum HotkeyId : int {
    kShowWindowHotkey = 1, // Ctrl+F1
    kPreviousItemHotkey,   // Ctrl+F2
    kNextItemHotkey,       // Ctrl+F3
    kCopyPageHotkey,       // Ctrl+F4
    kHideWindowHotkey,     // Ctrl+F5
};

// Whether a desktop's description of a key ("Ctrl+F1", "CTRL+F1", "Control-F1") names Ctrl+F<id>,
// the key asked for hotkey `id` (1..5): letters without regard to case, "Control" as "Ctrl",
// "+", "-" and blanks between the parts all alike.
[[nodiscard]] bool IsAskedKey(std::u16string_view description, int id);

// The name each hotkey goes by: "Ctrl-F<id>" where the asked key is bound, the desktop's own
// description where it bound another, "(no key)" where nothing is bound. Bit id-1 of
// `boundMask` tells whether id is bound; `otherKeys[id-1]` is empty unless it is another key.
[[nodiscard]] std::array<std::u16string, kHotkeyCount>
HotkeyNames(unsigned boundMask, const std::array<std::u16string, kHotkeyCount>& otherKeys);

// The keys asked for that the desktop did not bind, for a sentence: "Ctrl-F1", "Ctrl-F1 and
// Ctrl-F3", "Ctrl-F1, Ctrl-F2 and Ctrl-F4"; empty when every one is bound.
[[nodiscard]] std::u16string KeptKeys(unsigned boundMask);

// `text` with every line that begins "Ctrl-F<id> = " beginning with names[id-1] instead; the
// rest of the text, the other mentions of the keys included, stays as it is.
[[nodiscard]] std::u16string WithHotkeyNames(std::u16string_view text,
                                             const std::array<std::u16string, kHotkeyCount>& names);

} // namespace quillory
