#pragma once

#include "platform/WindowState.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <optional>

class QWindow;
struct xcb_connection_t;

namespace quillory {

// Stay-on-top as the EWMH state _NET_WM_STATE_ABOVE: asked of the window manager by a client
// message while the window is mapped, written on the window while it is withdrawn. The window
// manager drops a withdrawn window's state and desktop (_NET_WM_DESKTOP), so both are put back on
// the window just before it is mapped again: it comes back on top if it was, and on the desktop
// the user moved it to. Reads the X server only when the state changes, never per tick.
class X11WindowState final : public QObject, public WindowState, private QAbstractNativeEventFilter {
public:
    // `connection` must be the application's own and outlive this.
    X11WindowState(QWidget& window, xcb_connection_t* connection);
    ~X11WindowState() override;

    void setStayOnTop(bool on) override;
    [[nodiscard]] bool stayOnTop() const override { return m_above; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // Adds or removes ABOVE in the window's own _NET_WM_STATE, for a withdrawn window.
    void writeState(bool above);
    void requestState(bool above);
    [[nodiscard]] std::uint32_t intern(const char* name) const;

    xcb_connection_t* m_connection;
    QPointer<QWindow> m_window;
    std::uint32_t m_id = 0;
    std::uint32_t m_root = 0;
    std::uint32_t m_netWmState = 0;
    std::uint32_t m_atomAbove = 0;
    std::uint32_t m_netWmDesktop = 0;
    bool m_above = false;
    std::optional<std::uint32_t> m_desktop; // where the user last had the window
};

} // namespace quillory
