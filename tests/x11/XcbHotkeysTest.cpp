#include "platform/x11/XcbHotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

// These run against a private Xvfb (run_under_xvfb.sh) and type with xdotool, a separate client,
// as a user in another program would.
namespace quillory {
namespace {

constexpr int Timeout = 5000;

template <typename T> using XcbPtr = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> XcbPtr<T> own(T* p)
{
    return XcbPtr<T>(p, &std::free);
}

xcb_connection_t* connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

void xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    ASSERT_TRUE(p.waitForFinished(Timeout)) << "xdotool " << args.join(QLatin1Char(' ')).toStdString();
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

void key(const char* combo)
{
    xdotool({QStringLiteral("key"), QString::fromLatin1(combo)});
}

// The keyboard's modifier and lock state as the server has it now.
std::uint16_t modifierState()
{
    const auto reply = own(xcb_query_pointer_reply(connection(), xcb_query_pointer(connection(), root()), nullptr));
    return reply ? reply->mask & 0xff : 0;
}

// Switches a lock key on for the scope and tells which modifier bit it set.
class LockOn {
public:
    explicit LockOn(const char* keyName) : m_key(keyName)
    {
        const std::uint16_t before = modifierState();
        key(m_key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return modifierState() != before; }, Timeout)) << m_key << " did nothing";
        m_mask = static_cast<std::uint16_t>(modifierState() & ~before);
    }
    LockOn(const LockOn&) = delete;
    LockOn& operator=(const LockOn&) = delete;
    ~LockOn()
    {
        key(m_key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return (modifierState() & m_mask) == 0; }, Timeout));
    }
    [[nodiscard]] std::uint16_t mask() const { return m_mask; }

private:
    const char* m_key;
    std::uint16_t m_mask = 0;
};

// Whether another client could take the combination now (grabkey's syntax: "mod2+ctrl+F4").
bool otherClientCanGrab(const QString& combo)
{
    QProcess other;
    other.start(QStringLiteral(QUILLORY_GRABKEY), {combo});
    other.waitForReadyRead(Timeout);
    const bool grabbed = other.readAllStandardOutput().trimmed() == "grabbed";
    other.kill();
    other.waitForFinished(Timeout);
    return grabbed;
}

QString modifierName(std::uint16_t mask)
{
    for (int bit = 3; bit < 8; ++bit)
        if (mask == 1U << bit)
            return QStringLiteral("mod%1").arg(bit - 2);
    return {};
}

struct Presses {
    std::vector<int> ids;
    [[nodiscard]] std::function<void(int)> callback()
    {
        return [this](int id) { ids.push_back(id); };
    }
    // Waits for `id` to arrive as the latest press. Presses come in order, so any stray press
    // typed before it has arrived by then too.
    [[nodiscard]] bool waitFor(int id)
    {
        return QTest::qWaitFor([&] { return !ids.empty() && ids.back() == id; }, Timeout);
    }
};

// Counts raw events of one kind as Qt reads them, before (or after) other filters see them.
class EventCounter final : public QAbstractNativeEventFilter {
public:
    explicit EventCounter(std::function<bool(const xcb_generic_event_t*)> match) : m_match(std::move(match))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        if (m_match(static_cast<const xcb_generic_event_t*>(message)))
            ++count;
        return false;
    }
    int count = 0;

private:
    std::function<bool(const xcb_generic_event_t*)> m_match;
};

xcb_keycode_t keycodeOf(xcb_keysym_t sym)
{
    const std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(
        xcb_key_symbols_alloc(connection()), &xcb_key_symbols_free);
    const auto codes = own(xcb_key_symbols_get_keycode(symbols.get(), sym));
    return codes ? codes.get()[0] : 0;
}

// Puts the Num_Lock key on Mod3 instead of Mod2 for the scope, as some layouts do.
class NumLockOnMod3 {
public:
    NumLockOnMod3()
    {
        const auto reply =
            own(xcb_get_modifier_mapping_reply(connection(), xcb_get_modifier_mapping(connection()), nullptr));
        m_perModifier = reply->keycodes_per_modifier;
        const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(reply.get());
        m_saved.assign(keys, keys + 8 * m_perModifier);

        std::vector<xcb_keycode_t> moved = m_saved;
        const xcb_keycode_t numLock = keycodeOf(XK_Num_Lock);
        std::replace(moved.begin(), moved.end(), numLock, xcb_keycode_t{0});
        const auto mod3 = moved.begin() + 5 * m_perModifier;
        const auto slot = std::find(mod3, mod3 + m_perModifier, xcb_keycode_t{0});
        if (slot == mod3 + m_perModifier) {
            ADD_FAILURE() << "Mod3 has no free slot";
            return;
        }
        *slot = numLock;
        apply(moved);
    }
    NumLockOnMod3(const NumLockOnMod3&) = delete;
    NumLockOnMod3& operator=(const NumLockOnMod3&) = delete;
    ~NumLockOnMod3() { apply(m_saved); }

private:
    void apply(std::vector<xcb_keycode_t> keys) const
    {
        const auto reply = own(xcb_set_modifier_mapping_reply(
            connection(), xcb_set_modifier_mapping(connection(), static_cast<std::uint8_t>(m_perModifier), keys.data()),
            nullptr));
        EXPECT_TRUE(reply && reply->status == XCB_MAPPING_STATUS_SUCCESS);
    }
    std::vector<xcb_keycode_t> m_saved;
    int m_perModifier = 0;
};

TEST(XcbHotkeys, EachCtrlFunctionKeyTypedInAnotherClientArrivesWithItsId)
{
    Presses presses;
    const auto hotkeys = GlobalHotkeys::create(presses.callback());
    const HotkeyStatus status = hotkeys->status();
    EXPECT_TRUE(status.available);
    EXPECT_EQ(status.registeredMask, 0x1fU);

    key("ctrl+F4");
    ASSERT_TRUE(presses.waitFor(4));
    for (const char* combo : {"ctrl+F1", "ctrl+F2", "ctrl+F3", "ctrl+F5"})
        key(combo);
    ASSERT_TRUE(presses.waitFor(5));
    EXPECT_EQ(presses.ids, (std::vector<int>{4, 1, 2, 3, 5}));
}

TEST(XcbHotkeys, NumLockAndCapsLockDoNotHideTheKeys)
{
    Presses presses;
    const auto hotkeys = GlobalHotkeys::create(presses.callback());
    {
        const LockOn numLock("Num_Lock");
        ASSERT_NE(numLock.mask(), 0);
        key("ctrl+F2");
        ASSERT_TRUE(presses.waitFor(2));
        const LockOn capsLock("Caps_Lock");
        EXPECT_EQ(capsLock.mask(), XCB_MOD_MASK_LOCK);
        key("ctrl+F3");
        ASSERT_TRUE(presses.waitFor(3));
    }
    key("ctrl+F1");
    ASSERT_TRUE(presses.waitFor(1));
    EXPECT_EQ(presses.ids, (std::vector<int>{2, 3, 1}));
}

TEST(XcbHotkeys, NumLockIsFoundOnWhicheverModifierCarriesIt)
{
    const NumLockOnMod3 remapped;
    Presses presses;
    const auto hotkeys = GlobalHotkeys::create(presses.callback());
    const LockOn numLock("Num_Lock");
    ASSERT_EQ(numLock.mask(), XCB_MOD_MASK_3);
    key("ctrl+F2");
    ASSERT_TRUE(presses.waitFor(2));
}

TEST(XcbHotkeys, GrabsFollowAModifierMapChangedWhileRunning)
{
    // Installed first, so it sees the change after the hotkeys have handled it.
    const auto xkb =
        own(xcb_query_extension_reply(connection(), xcb_query_extension(connection(), 9, "XKEYBOARD"), nullptr));
    const std::uint8_t xkbEvent = xkb && xkb->present ? xkb->first_event : 0;
    EventCounter mappingChanges([xkbEvent](const xcb_generic_event_t* e) {
        const int type = e->response_type & 0x7f;
        return type == XCB_MAPPING_NOTIFY || (xkbEvent != 0 && type == xkbEvent);
    });
    Presses presses;
    const auto hotkeys = GlobalHotkeys::create(presses.callback());

    const NumLockOnMod3 remapped;
    ASSERT_TRUE(QTest::qWaitFor([&] { return mappingChanges.count > 0; }, Timeout));
    const LockOn numLock("Num_Lock");
    ASSERT_EQ(numLock.mask(), XCB_MOD_MASK_3);
    key("ctrl+F2");
    ASSERT_TRUE(presses.waitFor(2));
}

TEST(XcbHotkeys, KeyHeldByAnotherClientIsLeftToItAndTheOthersStillWork)
{
    QProcess other;
    other.start(QStringLiteral(QUILLORY_GRABKEY), {QStringLiteral("ctrl+F2")});
    ASSERT_TRUE(other.waitForReadyRead(Timeout)) << other.readAllStandardError().toStdString();
    ASSERT_EQ(other.readAllStandardOutput().trimmed(), "grabbed");

    Presses presses;
    const auto hotkeys = GlobalHotkeys::create(presses.callback());
    EXPECT_TRUE(hotkeys->status().available);
    EXPECT_EQ(hotkeys->status().registeredMask, 0x1dU);

    for (const char* combo : {"ctrl+F2", "ctrl+F1", "ctrl+F3", "ctrl+F4", "ctrl+F5"})
        key(combo);
    ASSERT_TRUE(presses.waitFor(5));
    {
        // Nor the NumLock variant, which the other client did not ask for: it stays free.
        const LockOn numLock("Num_Lock");
        EXPECT_TRUE(otherClientCanGrab(modifierName(numLock.mask()) + QStringLiteral("+ctrl+F2")));
        key("ctrl+F2");
        key("ctrl+F1");
        ASSERT_TRUE(presses.waitFor(1));
    }
    EXPECT_EQ(presses.ids, (std::vector<int>{1, 3, 4, 5, 1}));

    other.kill();
    other.waitForFinished(Timeout);
}

TEST(XcbHotkeys, GrabsAreReleasedWithTheObject)
{
    {
        Presses presses;
        const auto hotkeys = GlobalHotkeys::create(presses.callback());
        ASSERT_EQ(hotkeys->status().registeredMask, 0x1fU);
    }
    for (const char* combo : {"ctrl+F4", "lock+ctrl+F4", "mod2+ctrl+F1", "mod2+lock+ctrl+F5"})
        EXPECT_TRUE(otherClientCanGrab(QString::fromLatin1(combo))) << combo << " is still held";
}

TEST(XcbHotkeys, AHeldKeyActsOnceUntilReleased)
{
    Presses presses;
    const auto hotkeys = GlobalHotkeys::create(presses.callback());
    const xcb_keycode_t f3 = keycodeOf(XK_F3);
    // Installed after the hotkeys, so it sees the server's repeats before they are dropped.
    EventCounter rawPresses([f3](const xcb_generic_event_t* e) {
        return (e->response_type & 0x7f) == XCB_KEY_PRESS &&
               reinterpret_cast<const xcb_key_press_event_t*>(e)->detail == f3;
    });

    xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+F3")});
    const bool repeated = QTest::qWaitFor([&] { return rawPresses.count >= 4; }, Timeout);
    xdotool({QStringLiteral("keyup"), QStringLiteral("F3")});
    xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl")});
    ASSERT_TRUE(repeated) << "the server did not repeat the held key";
    key("ctrl+F3");
    key("ctrl+F1");
    ASSERT_TRUE(presses.waitFor(1));
    EXPECT_EQ(presses.ids, (std::vector<int>{3, 3, 1}));
}

} // namespace
} // namespace quillory
