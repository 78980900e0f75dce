#pragma once

#include "core/text/HotkeyNames.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace quillory {

struct HotkeyStatus;

// What the session's hotkeys are, as the desktop last reported them: which keys they go by, whether
// Ctrl+F1 can bring the window back, whether they reach only some programs, and the notice that
// tells the user so (said once, at the first tick or as news after it).
class HotkeyPresence {
public:
    void apply(const HotkeyStatus& status);

    // Ctrl+F1 is bound, so a hidden window can be brought back without the tray.
    [[nodiscard]] bool showKeyBound() const noexcept { return m_showKeyBound; }
    // The keys reach only some programs and no desktop setting place covers that.
    [[nodiscard]] bool partial() const noexcept { return m_partial; }
    // The desktop's own shortcuts run the program's commands, so they reach every program.
    [[nodiscard]] bool desktopShortcutsOurs() const noexcept { return m_desktopShortcutsOurs; }
    void setDesktopShortcutsOurs(bool ours) noexcept { m_desktopShortcutsOurs = ours; }

    [[nodiscard]] const std::u16string& notice() const noexcept { return m_notice; }
    [[nodiscard]] std::u16string takeNotice() { return std::exchange(m_notice, {}); }

    // `text` with its "Ctrl-F<id> = " lines naming the keys as bound.
    [[nodiscard]] std::u16string named(std::u16string_view text) const { return WithHotkeyNames(text, m_names); }

private:
    bool m_showKeyBound = false;
    bool m_partial = false;
    bool m_desktopShortcutsOurs = false;
    std::array<std::u16string, kHotkeyCount> m_names;
    std::u16string m_notice;
};

} // namespace quillory
