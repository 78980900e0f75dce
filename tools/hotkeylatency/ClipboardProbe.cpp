#include "ClipboardProbe.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <poll.h>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

namespace hotkeylatency {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> own(T* p)
{
    return Reply<T>(p, &std::free);
}

// Large enough for any page in one GetProperty, small enough that the server's byte count
// (four times this) stays inside 32 bits.
constexpr std::uint32_t WholeProperty = 1U << 28;

} // namespace

void ClipboardProbe::EventDeleter::operator()(xcb_generic_event_t* e) const
{
    std::free(e);
}

ClipboardProbe::ClipboardProbe()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("cannot open the display (is DISPLAY set?)");
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    const xcb_screen_t* screen = screens.data;
    m_root = screen->root;

    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(m_connection, &xcb_test_id);
    if (!xtest || !xtest->present) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("the X server has no XTEST extension");
    }

    // Unmapped: a requestor and selection owner needs a window, not a visible one.
    m_window = xcb_generate_id(m_connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);

    m_clipboard = atom("CLIPBOARD");
    m_utf8 = atom("UTF8_STRING");
    m_incr = atom("INCR");
    m_data = atom("HOTKEYLATENCY_DATA");
    m_stamp = atom("HOTKEYLATENCY_STAMP");
    m_control = keycodeOf(XK_Control_L);
    m_f4 = keycodeOf(XK_F4);
    if (m_control == 0 || m_f4 == 0) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("the keyboard map has no Control_L or F4");
    }
}

ClipboardProbe::~ClipboardProbe()
{
    xcb_disconnect(m_connection);
}

xcb_atom_t ClipboardProbe::atom(const char* name)
{
    const auto reply = own(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

xcb_keycode_t ClipboardProbe::keycodeOf(std::uint32_t keysym)
{
    const std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(
        xcb_key_symbols_alloc(m_connection), &xcb_key_symbols_free);
    if (!symbols)
        return 0;
    const auto codes = own(xcb_key_symbols_get_keycode(symbols.get(), keysym));
    return codes && *codes != XCB_NO_SYMBOL ? *codes : 0;
}

bool ClipboardProbe::fail(std::string problem)
{
    m_problem = std::move(problem);
    return false;
}

ClipboardProbe::Event ClipboardProbe::nextEvent(Clock::time_point deadline)
{
    for (;;) {
        if (xcb_generic_event_t* e = xcb_poll_for_event(m_connection))
            return Event(e);
        if (xcb_connection_has_error(m_connection))
            return nullptr;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return nullptr;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(left));
    }
}

ClipboardProbe::Event ClipboardProbe::waitFor(const std::function<bool(const xcb_generic_event_t&)>& wanted,
                                              Clock::time_point deadline)
{
    while (Event e = nextEvent(deadline)) {
        if (wanted(*e))
            return e;
        handle(*e);
    }
    return nullptr;
}

bool ClipboardProbe::waitUntil(const std::function<bool()>& done, Clock::time_point deadline)
{
    xcb_flush(m_connection);
    while (!done()) {
        Event e = nextEvent(deadline);
        if (!e)
            return false;
        handle(*e);
    }
    return true;
}

void ClipboardProbe::handle(const xcb_generic_event_t& event)
{
    switch (event.response_type & 0x7f) {
    case XCB_SELECTION_REQUEST: {
        // We hold the clipboard only to empty it: every request is refused.
        const auto& request = reinterpret_cast<const xcb_selection_request_event_t&>(event);
        xcb_selection_notify_event_t answer{};
        answer.response_type = XCB_SELECTION_NOTIFY;
        answer.time = request.time;
        answer.requestor = request.requestor;
        answer.selection = request.selection;
        answer.target = request.target;
        answer.property = XCB_NONE;
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&answer));
        xcb_flush(m_connection);
        break;
    }
    case XCB_SELECTION_CLEAR: {
        const auto& clear = reinterpret_cast<const xcb_selection_clear_event_t&>(event);
        if (clear.selection == m_clipboard && clear.time >= m_ownedSince)
            m_owner = false;
        break;
    }
    default:
        break;
    }
}

std::optional<xcb_timestamp_t> ClipboardProbe::serverTime(Clock::time_point deadline)
{
    // An empty append changes nothing but makes the server stamp a PropertyNotify with its time.
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, m_stamp, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(m_connection);
    const Event e = waitFor(
        [this](const xcb_generic_event_t& ev) {
            return (ev.response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                   reinterpret_cast<const xcb_property_notify_event_t&>(ev).atom == m_stamp;
        },
        deadline);
    if (!e)
        return std::nullopt;
    return reinterpret_cast<const xcb_property_notify_event_t&>(*e).time;
}

bool ClipboardProbe::takeClipboard(Clock::time_point deadline)
{
    // A real timestamp, not CurrentTime: a later owner's request is then judged against it.
    const auto now = serverTime(deadline);
    if (!now)
        return fail("the server did not answer for a timestamp");
    m_ownedSince = *now;
    m_owner = true;
    xcb_set_selection_owner(m_connection, m_window, m_clipboard, *now);
    const auto owner =
        own(xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, m_clipboard), nullptr));
    if (!owner || owner->owner != m_window) {
        m_owner = false;
        return fail("could not take the clipboard");
    }
    return true;
}

void ClipboardProbe::typeCtrlF4()
{
    xcb_test_fake_input(m_connection, XCB_KEY_PRESS, m_control, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(m_connection, XCB_KEY_PRESS, m_f4, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(m_connection, XCB_KEY_RELEASE, m_f4, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(m_connection, XCB_KEY_RELEASE, m_control, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(m_connection);
}

std::optional<std::string> ClipboardProbe::readProperty(bool& incremental)
{
    // Deleting on read is what tells an INCR sender to write the next chunk.
    const auto reply = own(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 1, m_window, m_data, XCB_GET_PROPERTY_TYPE_ANY, 0, WholeProperty),
        nullptr));
    if (!reply || reply->type == XCB_NONE) {
        fail("the answer's property is missing");
        return std::nullopt;
    }
    incremental = reply->type == m_incr;
    if (!incremental && reply->format != 8) {
        fail("the answer is not 8-bit text");
        return std::nullopt;
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(bytes, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

std::optional<std::string> ClipboardProbe::readIncrements(Clock::time_point deadline)
{
    std::string text;
    for (;;) {
        const Event e = waitFor(
            [this](const xcb_generic_event_t& ev) {
                if ((ev.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(ev);
                return notify.atom == m_data && notify.state == XCB_PROPERTY_NEW_VALUE;
            },
            deadline);
        if (!e) {
            fail("the INCR transfer stopped after " + std::to_string(text.size()) + " bytes");
            return std::nullopt;
        }
        bool incremental = false;
        const auto chunk = readProperty(incremental);
        if (!chunk)
            return std::nullopt;
        if (chunk->empty())
            return text;
        text += *chunk;
    }
}

std::optional<std::string> ClipboardProbe::fetchText(Clock::time_point deadline)
{
    xcb_delete_property(m_connection, m_window, m_data);
    xcb_convert_selection(m_connection, m_window, m_clipboard, m_utf8, m_data, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    const Event e = waitFor(
        [this](const xcb_generic_event_t& ev) {
            return (ev.response_type & 0x7f) == XCB_SELECTION_NOTIFY &&
                   reinterpret_cast<const xcb_selection_notify_event_t&>(ev).requestor == m_window;
        },
        deadline);
    if (!e) {
        fail("no SelectionNotify before the deadline");
        return std::nullopt;
    }
    if (reinterpret_cast<const xcb_selection_notify_event_t&>(*e).property == XCB_NONE) {
        fail("the owner refused UTF8_STRING");
        return std::nullopt;
    }
    bool incremental = false;
    auto text = readProperty(incremental);
    xcb_flush(m_connection);
    m_incremental = text && incremental;
    if (m_incremental)
        return readIncrements(deadline);
    return text;
}

} // namespace hotkeylatency
