#pragma once

#include "platform/GlobalHotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <array>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace quillory {

// Ctrl+F1..Ctrl+F5 as passive key grabs on every X root window, on Qt's own xcb connection, taken
// from Qt's native event stream and handed to `pressed` through the event loop (one call per
// press; auto-repeat is dropped). A key that another client holds in any NumLock/CapsLock state is
// left to it and out of the status. The grabs follow keyboard-mapping changes and are released on
// destruction. Lives on the user-interface thread.
class XcbHotkeys final : public GlobalHotkeys, private QAbstractNativeEventFilter {
public:
    // `connection` must be the application's own (its events reach the filter) and outlive this.
    XcbHotkeys(xcb_connection_t* connection, std::function<void(int id)> pressed);
    ~XcbHotkeys() override;

    [[nodiscard]] HotkeyStatus status() const override;

private:
    static constexpr int KeyCount = 5;

    // Where the keys are on the keyboard as currently mapped.
    struct Layout {
        std::array<std::vector<std::uint8_t>, KeyCount> keycodes;
        std::uint16_t numLockMask = 0;
        bool operator==(const Layout&) const = default;
    };
    struct Grab {
        std::uint32_t root;
        std::uint8_t keycode;
        std::uint16_t modifiers;
        int id;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    [[nodiscard]] Layout readLayout() const;
    void grabAll();
    void ungrabAll();
    void onKey(bool press, std::uint8_t keycode, std::uint16_t state, std::uint32_t time);
    void onMappingChanged();

    xcb_connection_t* m_connection;
    std::function<void(int)> m_pressed;
    QObject m_receiver; // queued presses die with it
    std::vector<std::uint32_t> m_roots;
    Layout m_layout;
    std::vector<Grab> m_grabs;
    unsigned m_registeredMask = 0;
    std::uint8_t m_xkbEvent = 0; // first event code of the keyboard extension, 0 without it

    // Hot path state, sized once: keycode -> id (0 for none), and per id whether the key is down
    // and when it was last released, to tell the server's auto-repeat from a new press.
    std::array<std::uint8_t, 256> m_idOfKeycode{};
    std::array<bool, KeyCount> m_down{};
    std::array<std::uint32_t, KeyCount> m_pressedAt{};
    std::array<std::uint32_t, KeyCount> m_releasedAt{};
};

} // namespace quillory
