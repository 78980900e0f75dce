#include "ui/form/HotkeyPresence.h"

#include "platform/Desktop.h"

#include <gtest/gtest.h>

// The hotkeys' presence as the desktop reports it, without a window.
namespace quillory {
namespace {

constexpr unsigned kAll = (1U << kHotkeyCount) - 1;

struct PresenceCase {
    const char* name;
    HotkeyStatus status;
    bool showKeyBound;
    bool partial;
    std::u16string_view noticeHas; // empty: no notice
};

TEST(HotkeyPresence, FollowsWhatTheDesktopBound)
{
    HotkeyStatus portal{.available = true, .registeredMask = kAll & ~1U};
    portal.settingsPlace = u"System Settings, Shortcuts";
    HotkeyStatus renamed{.available = true, .registeredMask = kAll};
    renamed.otherKeys[2] = u"Meta+F3";
    const PresenceCase cases[] = {
        {"every key grabbed", {.available = true, .registeredMask = kAll}, true, false, u""},
        {"no hotkeys at all", {.available = false, .reason = u"No hotkeys here."}, false, true, u"No hotkeys here."},
        {"nothing bound", {.available = true, .registeredMask = 0}, false, true, u"bound none"},
        {"X11 grabs in a Wayland session",
         {.available = true, .registeredMask = kAll, .partial = true},
         true,
         true,
         u""},
        {"the desktop kept Ctrl+F1", portal, false, false, u"The desktop keeps Ctrl-F1"},
        {"the desktop bound another key", renamed, true, false, u"Meta+F3 = "},
    };
    for (const PresenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        HotkeyPresence presence;
        presence.apply(c.status);
        EXPECT_EQ(presence.showKeyBound(), c.showKeyBound);
        EXPECT_EQ(presence.partial(), c.partial);
        if (c.noticeHas.empty())
            EXPECT_TRUE(presence.notice().empty());
        else
            EXPECT_NE(presence.notice().find(c.noticeHas), std::u16string::npos);
    }
}

TEST(HotkeyPresence, TheNoticeIsSaidOnceAndTheOverviewNamesTheBoundKeys)
{
    HotkeyStatus status{.available = true, .registeredMask = kAll & ~2U};
    status.otherKeys[0] = u"Super+1";
    HotkeyPresence presence;
    presence.apply(status);
    EXPECT_FALSE(presence.takeNotice().empty());
    EXPECT_TRUE(presence.notice().empty());
    EXPECT_EQ(presence.named(u"Ctrl-F1 = Show\nCtrl-F2 = Up\nCtrl-F3 = Down"),
              u"Super+1 = Show\n(no key) = Up\nCtrl-F3 = Down");
}

} // namespace
} // namespace quillory
