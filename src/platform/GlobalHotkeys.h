#pragma once

#include "platform/Desktop.h"

#include <functional>
#include <memory>
#include <string>

namespace quillory {

// System-wide Ctrl+F1..Ctrl+F5, held for the object's lifetime.
class GlobalHotkeys {
public:
    GlobalHotkeys() = default;
    GlobalHotkeys(const GlobalHotkeys&) = delete;
    GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;
    virtual ~GlobalHotkeys() = default;

    // The implementation for this session: the desktop's GlobalShortcuts portal in a Wayland
    // session that offers it, X11 key grabs where there is an X display, else one that grabs
    // nothing and says why. `changed` hears of later changes of the status (may be empty).
    [[nodiscard]] static std::unique_ptr<GlobalHotkeys> create(std::function<void(int id)> pressed,
                                                               std::function<void(const HotkeyStatus&)> changed = {});

    // The Qt platform list that suits the hotkeys in this session, for QT_QPA_PLATFORM before the
    // application is created: a native Wayland client where the desktop offers the portal, else
    // XWayland where there is an X display (key grabs see at least the X11 clients); empty
    // outside Wayland. Asks the session bus, which may start the portal.
    [[nodiscard]] static std::string preferredPlatform();

    [[nodiscard]] virtual HotkeyStatus status() const = 0;

    // The activation token the desktop passed with the last press, once; empty where it passes
    // none. With it a Wayland window may take the focus (xdg-activation).
    [[nodiscard]] virtual std::string takeActivationToken() { return {}; }
};

} // namespace quillory
