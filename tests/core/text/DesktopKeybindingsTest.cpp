#include "core/text/DesktopKeybindings.h"

#include <gtest/gtest.h>

using namespace quillory;

namespace {

TEST(DesktopKeybindings, AcceleratorsCompareInOneSpelling)
{
    struct Case {
        std::string_view accelerator, canonical;
    };
    for (const Case& c : std::initializer_list<Case>{{"<Control>F1", "ctrl+f1"},
                                                     {"<Primary>F1", "ctrl+f1"},
                                                     {"<Ctrl>f1", "ctrl+f1"},
                                                     {"<ctl>F1", "ctrl+f1"},
                                                     {"<Shift><Primary>F2", "ctrl+shift+f2"},
                                                     {"<Primary><Shift>F2", "ctrl+shift+f2"},
                                                     {"<Mod1>F4", "alt+f4"},
                                                     {"<Super>F1", "super+f1"},
                                                     {"<Control><Alt>F1", "ctrl+alt+f1"},
                                                     {"F1", "f1"},
                                                     {"XF86Calculator", "xf86calculator"},
                                                     {"", ""},
                                                     {"disabled", ""},
                                                     {"<Control>", ""},
                                                     {"<Control", ""},
                                                     {"<Bogus>F1", ""}}) {
        SCOPED_TRACE(c.accelerator);
        EXPECT_EQ(CanonicalAccelerator(c.accelerator), c.canonical);
    }
}

TEST(DesktopKeybindings, OnlyTheExactCombinationTakesAHotkey)
{
    EXPECT_EQ(FreeHotkeys({}), 0x1FU);
    // Other modifiers, other keys and disabled entries leave the keys free.
    EXPECT_EQ(FreeHotkeys({"<Alt>F1", "<Control><Alt>F2", "<Super>F3", "F4", "", "disabled", "<Control>F6"}), 0x1FU);
    EXPECT_EQ(FreeHotkeys({"<Primary>F1", "<Ctrl>f4"}), 0b10110U);
    EXPECT_EQ(FreeHotkeys({"<Control>F1", "<Control>F2", "<Control>F3", "<Control>F4", "<Control>F5"}), 0U);
}

TEST(DesktopKeybindings, OurPathsAreAddedOnceAfterTheUsersOwn)
{
    const std::string root = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/";
    EXPECT_EQ(CustomKeybindingPath(4), root + "quillory-copy/");
    const std::vector<std::string> mine{root + "custom0/"};
    EXPECT_EQ(WithHotkeyPaths(mine, 0b01001),
              (std::vector<std::string>{root + "custom0/", root + "quillory-show/", root + "quillory-copy/"}));
    EXPECT_EQ(WithHotkeyPaths({root + "quillory-copy/"}, 0b01000), std::vector<std::string>{root + "quillory-copy/"});
    EXPECT_EQ(WithHotkeyPaths(mine, 0), mine);
}

TEST(DesktopKeybindings, AProgramPathStaysOneWordOfTheCommand)
{
    struct Case {
        std::string_view word, quoted;
    };
    for (const Case& c : std::initializer_list<Case>{{"quillory", "quillory"},
                                                     {"/usr/local/bin/quillory", "/usr/local/bin/quillory"},
                                                     {"/home/a b/quillory", "'/home/a b/quillory'"},
                                                     {"/home/o'neil/q", "'/home/o'\\''neil/q'"},
                                                     {"/opt/$HOME/q", "'/opt/$HOME/q'"},
                                                     {"", "''"}}) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(CommandWord(c.word), c.quoted);
    }
}

} // namespace
