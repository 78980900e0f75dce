#include "platform/x11/XcbHotkeys.h"

#include <cstdlib>
#include <memory>

#include <QCoreApplication>
#include <QMetaObject>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace quillory {

namespace {

template <typename T> using XcbPtr = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> XcbPtr<T> own(T* p)
{
    return XcbPtr<T>(p, &std::free);
}

using KeySymbols = std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)>;

constexpr std::array<xcb_keysym_t, 5> HotkeySyms{XK_F1, XK_F2, XK_F3, XK_F4, XK_F5};
constexpr std::uint16_t ModifierBits = 0xff;
// Longer than any auto-repeat interval; bounds what a lost release could swallow.
constexpr std::uint32_t RepeatWindowMs = 1500;
// Sub-codes of the keyboard extension's event that mean the key map was replaced or changed.
constexpr std::uint8_t XkbNewKeyboardNotify = 0;
constexpr std::uint8_t XkbMapNotify = 1;

// Keycodes that give `sym` unshifted (column 0), or at any level when `anyColumn`.
std::vector<std::uint8_t> keycodesOf(xcb_key_symbols_t* symbols, xcb_keysym_t sym, bool anyColumn)
{
    std::vector<std::uint8_t> result;
    const auto found = own(xcb_key_symbols_get_keycode(symbols, sym));
    if (!found)
        return result;
    for (const xcb_keycode_t* k = found.get(); *k != XCB_NO_SYMBOL; ++k)
        if (anyColumn || xcb_key_symbols_get_keysym(symbols, *k, 0) == sym)
            result.push_back(*k);
    return result;
}

} // namespace

XcbHotkeys::XcbHotkeys(xcb_connection_t* connection, std::function<void(int id)> pressed)
    : m_connection(connection), m_pressed(std::move(pressed))
{
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); it.rem > 0; xcb_screen_next(&it))
        m_roots.push_back(it.data->root);

    static constexpr char xkbName[] = "XKEYBOARD";
    const auto xkb = own(xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, sizeof xkbName - 1, xkbName), nullptr));
    if (xkb && xkb->present)
        m_xkbEvent = xkb->first_event;

    m_layout = readLayout();
    grabAll();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XcbHotkeys::~XcbHotkeys()
{
    // Without the application its connection is gone, and the server dropped the grabs with it.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeNativeEventFilter(this);
        ungrabAll();
    }
}

HotkeyStatus XcbHotkeys::status() const
{
    // Through XWayland the grabs see only the keys pressed while an X11 client has the focus.
    return {true, m_registeredMask, {}, {}, {}, !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")};
}

XcbHotkeys::Layout XcbHotkeys::readLayout() const
{
    Layout layout;
    const KeySymbols symbols(xcb_key_symbols_alloc(m_connection), &xcb_key_symbols_free);
    if (!symbols)
        return layout;
    for (int i = 0; i < KeyCount; ++i)
        layout.keycodes[i] = keycodesOf(symbols.get(), HotkeySyms[i], false);

    // NumLock is whichever modifier the Num_Lock key is mapped to; Mod2 is only the usual choice.
    const auto numLockKeys = keycodesOf(symbols.get(), XK_Num_Lock, true);
    const auto modmap =
        own(xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!modmap || numLockKeys.empty())
        return layout;
    const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(modmap.get());
    const int perModifier = modmap->keycodes_per_modifier;
    for (int mod = 0; mod < 8; ++mod)
        for (int k = 0; k < perModifier; ++k)
            for (const std::uint8_t numLock : numLockKeys)
                if (keys[mod * perModifier + k] == numLock)
                    layout.numLockMask |= static_cast<std::uint16_t>(1U << mod);
    layout.numLockMask &= ~(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_CONTROL);
    return layout;
}

void XcbHotkeys::grabAll()
{
    // The server matches a grab on the exact modifier state, so every lock combination needs its own.
    std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (m_layout.numLockMask != 0) {
        variants.push_back(m_layout.numLockMask);
        variants.push_back(m_layout.numLockMask | XCB_MOD_MASK_LOCK);
    }

    std::vector<std::pair<Grab, xcb_void_cookie_t>> sent;
    for (const std::uint32_t root : m_roots)
        for (int i = 0; i < KeyCount; ++i)
            for (const std::uint8_t keycode : m_layout.keycodes[i])
                for (const std::uint16_t lock : variants) {
                    const Grab grab{root, keycode, static_cast<std::uint16_t>(XCB_MOD_MASK_CONTROL | lock), i + 1};
                    sent.emplace_back(grab,
                                      xcb_grab_key_checked(m_connection, 0, grab.root, grab.modifiers, grab.keycode,
                                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
                }

    // Sent together and checked together: a single round trip however many grabs there are.
    std::array<bool, KeyCount> refused{};
    for (const auto& [grab, cookie] : sent) {
        if (own(xcb_request_check(m_connection, cookie)))
            refused[grab.id - 1] = true; // BadAccess: another client holds this combination
        else
            m_grabs.push_back(grab);
    }

    // A key that someone else holds in one lock state is left to them in all: half a key would act
    // or not depending on NumLock.
    std::erase_if(m_grabs, [&](const Grab& g) {
        if (!refused[g.id - 1])
            return false;
        xcb_ungrab_key(m_connection, g.keycode, g.root, g.modifiers);
        return true;
    });
    xcb_flush(m_connection);

    m_registeredMask = 0;
    for (int i = 0; i < KeyCount; ++i) {
        if (m_layout.keycodes[i].empty() || refused[i])
            continue;
        m_registeredMask |= 1U << i;
        for (const std::uint8_t keycode : m_layout.keycodes[i])
            m_idOfKeycode[keycode] = static_cast<std::uint8_t>(i + 1);
    }
}

void XcbHotkeys::ungrabAll()
{
    for (const Grab& g : m_grabs)
        xcb_ungrab_key(m_connection, g.keycode, g.root, g.modifiers);
    xcb_flush(m_connection);
    m_grabs.clear();
    m_registeredMask = 0;
    m_idOfKeycode.fill(0);
    m_down.fill(false);
}

bool XcbHotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    switch (type) {
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
        // Both share one layout. Only grab deliveries come on the root: Qt selects no keys there.
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if (key->event != key->root || m_idOfKeycode[key->detail] == 0)
            return false;
        onKey(type == XCB_KEY_PRESS, key->detail, key->state, key->time);
        return true;
    }
    case XCB_MAPPING_NOTIFY:
        if (reinterpret_cast<const xcb_mapping_notify_event_t*>(event)->request != XCB_MAPPING_POINTER)
            onMappingChanged();
        return false;
    default:
        // Qt takes the keyboard extension's events, which then replace the core notice for it.
        if (m_xkbEvent != 0 && type == m_xkbEvent) {
            const std::uint8_t xkbType = event->pad0;
            if (xkbType == XkbNewKeyboardNotify || xkbType == XkbMapNotify)
                onMappingChanged();
        }
        return false;
    }
}

void XcbHotkeys::onKey(bool press, std::uint8_t keycode, std::uint16_t state, std::uint32_t time)
{
    const int id = m_idOfKeycode[keycode];
    const auto i = static_cast<std::size_t>(id - 1);
    if (!press) {
        m_down[i] = false;
        m_releasedAt[i] = time;
        return;
    }
    // Auto-repeat comes either as presses without releases or as release-press pairs sharing a
    // timestamp, depending on the client's keyboard flags.
    const bool repeat = m_down[i] ? time - m_pressedAt[i] < RepeatWindowMs : time == m_releasedAt[i];
    m_down[i] = true;
    m_pressedAt[i] = time;
    const auto locks = static_cast<std::uint16_t>(m_layout.numLockMask | XCB_MOD_MASK_LOCK);
    if (repeat || (state & ModifierBits & ~locks) != XCB_MOD_MASK_CONTROL)
        return;
    // Queued, like Qt's own input: the handler may open a modal box, which must not run inside
    // Qt's xcb dispatch, and its exceptions then reach the application's handler.
    QMetaObject::invokeMethod(
        &m_receiver, [this, id] { m_pressed(id); }, Qt::QueuedConnection);
}

void XcbHotkeys::onMappingChanged()
{
    Layout layout = readLayout();
    if (layout == m_layout)
        return;
    ungrabAll();
    m_layout = std::move(layout);
    grabAll();
}

} // namespace quillory
