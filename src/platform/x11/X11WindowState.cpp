#include "platform/x11/X11WindowState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

namespace quillory {

namespace {

template <typename T> using XcbPtr = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> XcbPtr<T> own(T* p)
{
    return XcbPtr<T>(p, &std::free);
}

constexpr std::uint32_t kRemove = 0;
constexpr std::uint32_t kAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;

} // namespace

X11WindowState::X11WindowState(QWidget& window, xcb_connection_t* connection) : m_connection(connection)
{
    m_id = static_cast<std::uint32_t>(window.winId());
    m_window = window.windowHandle();
    m_netWmState = intern("_NET_WM_STATE");
    m_atomAbove = intern("_NET_WM_STATE_ABOVE");
    m_netWmDesktop = intern("_NET_WM_DESKTOP");
    if (const auto tree = own(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_id), nullptr)))
        m_root = tree->root;
    if (m_window)
        m_window->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11WindowState::~X11WindowState()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

std::uint32_t X11WindowState::intern(const char* name) const
{
    const auto reply = own(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<std::uint32_t>(XCB_ATOM_NONE);
}

void X11WindowState::setStayOnTop(bool on)
{
    m_above = on;
    if (m_window && m_window->isVisible())
        requestState(on);
    else
        writeState(on);
    xcb_flush(m_connection);
}

void X11WindowState::requestState(bool above)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = m_id;
    event.type = m_netWmState;
    event.data.data32[0] = above ? kAdd : kRemove;
    event.data.data32[1] = m_atomAbove;
    event.data.data32[3] = kSourceApplication;
    xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void X11WindowState::writeState(bool above)
{
    std::vector<std::uint32_t> atoms;
    const auto reply = own(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, m_id, m_netWmState, XCB_ATOM_ATOM, 0, 64), nullptr));
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        atoms.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    std::erase(atoms, m_atomAbove);
    if (above)
        atoms.push_back(m_atomAbove);
    if (atoms.empty())
        xcb_delete_property(m_connection, m_id, m_netWmState);
    else
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_id, m_netWmState, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

bool X11WindowState::eventFilter(QObject* watched, QEvent* event)
{
    // Sent before Qt maps the window; Qt adds its own states to what it finds there.
    if (watched == m_window && event->type() == QEvent::Show) {
        writeState(m_above);
        if (m_desktop)
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_id, m_netWmDesktop, XCB_ATOM_CARDINAL, 32, 1,
                                &*m_desktop);
        xcb_flush(m_connection);
    }
    return QObject::eventFilter(watched, event);
}

bool X11WindowState::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    // The window manager deletes the property when the window is withdrawn; the last value stays.
    if (notify->window != m_id || notify->atom != m_netWmDesktop || notify->state != XCB_PROPERTY_NEW_VALUE)
        return false;
    const auto reply = own(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, m_id, m_netWmDesktop, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 4)
        m_desktop = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return false;
}

} // namespace quillory
