#include "core/text/HotkeyNames.h"

#include <gtest/gtest.h>

using namespace quillory;

namespace {

const std::array<std::u16string, kHotkeyCount> kNone{};

TEST(HotkeyNames, RecognisesTheAskedKeyHoweverTheDesktopSpellsIt)
{
    struct Case {
        std::u16string_view description;
        int id;
        bool asked;
    };
    for (const Case& c : std::initializer_list<Case>{{u"Ctrl+F1", 1, true},
                                                     {u"CTRL+F4", 4, true},
                                                     {u"Control+F5", 5, true},
                                                     {u"ctrl - f2", 2, true},
                                                     {u"Ctrl+F1", 2, false},
                                                     {u"Ctrl+Alt+F1", 1, false},
                                                     {u"Ctrl+F11", 1, false},
                                                     {u"F1", 1, false},
                                                     {u"", 1, false},
                                                     {u"Ctrl+F6", 6, false}}) {
        SCOPED_TRACE(std::string(c.description.begin(), c.description.end()) + " as " + std::to_string(c.id));
        EXPECT_EQ(IsAskedKey(c.description, c.id), c.asked);
    }
}

TEST(HotkeyNames, NamesBoundAskedOtherAndMissingKeys)
{
    EXPECT_EQ(HotkeyNames(0x1F, kNone),
              (std::array<std::u16string, kHotkeyCount>{u"Ctrl-F1", u"Ctrl-F2", u"Ctrl-F3", u"Ctrl-F4", u"Ctrl-F5"}));
    std::array<std::u16string, kHotkeyCount> other{};
    other[0] = u"Meta+Q";
    other[3] = u"Ctrl+Alt+C";
    EXPECT_EQ(HotkeyNames(0b01011, other), (std::array<std::u16string, kHotkeyCount>{u"Meta+Q", u"Ctrl-F2", u"(no key)",
                                                                                     u"Ctrl+Alt+C", u"(no key)"}));
}

TEST(HotkeyNames, RenamesOnlyTheHotkeyLines)
{
    const std::u16string text = u"Keys..\n\nCtrl-F1 = Show\nCtrl-F2 = Up\nCtrl-F3 = Down\nCtrl-F4 = Copy\n"
                                u"Ctrl-F5 = Hide\n\nPress Ctrl-F1 then Ctrl-F4.\nCtrl-F1 and more";
    EXPECT_EQ(WithHotkeyNames(text, HotkeyNames(0x1F, kNone)), text);
    std::array<std::u16string, kHotkeyCount> other{};
    other[3] = u"Alt+C";
    EXPECT_EQ(WithHotkeyNames(text, HotkeyNames(0b11011, other)),
              u"Keys..\n\nCtrl-F1 = Show\nCtrl-F2 = Up\n(no key) = Down\nAlt+C = Copy\n"
              u"Ctrl-F5 = Hide\n\nPress Ctrl-F1 then Ctrl-F4.\nCtrl-F1 and more");
    EXPECT_EQ(WithHotkeyNames(u"", HotkeyNames(0, kNone)), u"");
    EXPECT_EQ(WithHotkeyNames(u"Ctrl-F2 = x\n", HotkeyNames(0, kNone)), u"(no key) = x\n");
}

} // namespace

TEST(HotkeyNames, KeptKeysReadAsASentence)
{
    struct Case {
        unsigned bound;
        std::u16string_view kept;
    };
    for (const Case& c : std::initializer_list<Case>{{0x1F, u""},
                                                     {0x10, u"Ctrl-F1, Ctrl-F2, Ctrl-F3 and Ctrl-F4"},
                                                     {0x1E, u"Ctrl-F1"},
                                                     {0x0A, u"Ctrl-F1, Ctrl-F3 and Ctrl-F5"},
                                                     {0x1B, u"Ctrl-F3"},
                                                     {0x07, u"Ctrl-F4 and Ctrl-F5"},
                                                     // Bits above the five hotkeys name nothing.
                                                     {0xFFFFFFFF, u""}}) {
        SCOPED_TRACE(c.bound);
        EXPECT_EQ(KeptKeys(c.bound), c.kept);
    }
}
