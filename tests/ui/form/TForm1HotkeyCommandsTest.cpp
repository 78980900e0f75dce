#include "support/FormFixture.h"

#include "ui/form/HelpTexts.h"

using namespace quillory;
using namespace quillory::test;

namespace {

const std::u16string kLines = u"Ctrl-F1 = Displays Quillory on the Desktop\nCtrl-F2 = Moves up the item list\n"
                              u"Ctrl-F3 = Moves down the item list\n"
                              u"Ctrl-F4 = Copies the entire page displayed to the clipboard\n";

class HotkeyCommands : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        writeConfig({.projectPath = makeProject("P.qlyp.dir", {"One"}).u16string()});
    }
    [[nodiscard]] std::u16string overview()
    {
        desktop.expectInfo();
        form->SpeedButton6Click(form->SpeedButton6);
        return desktop.texts(ScriptedDesktop::Kind::Info).back();
    }
    void restart()
    {
        form.reset();
        start();
        tick();
    }
    // Key grabs through XWayland: every key grabbed, but only X11 clients' keys arrive.
    static HotkeyStatus partial() { return {true, 0x1F, {}, {}, {}, true}; }
};

TEST_F(HotkeyCommands, TheDesktopsKeptKeysAreNamedWithWhereToChangeThem)
{
    start();
    tick();
    const std::u16string place = u"System Settings, Shortcuts, Quillory";
    desktop.hotkeysChanged({true, 0x10, {}, {}, place, false});
    ASSERT_EQ(desktop.balloons.size(), 1U);
    EXPECT_EQ(desktop.balloons.back(),
              u"Quillory's hotkeys in this session:\n(no key) = Displays Quillory on the Desktop\n"
              u"(no key) = Moves up the item list\n(no key) = Moves down the item list\n"
              u"(no key) = Copies the entire page displayed to the clipboard\n"
              u"Ctrl-F5 = Minimises Quillory back to the system tray\n\nThe desktop keeps Ctrl-F1, Ctrl-F2, "
              u"Ctrl-F3 and Ctrl-F4 for its own commands. You can give Quillory other keys in System Settings, "
              u"Shortcuts, Quillory.");
    // The desktop binds the keys, so its settings are the place to change them, not commands.
    EXPECT_EQ(overview().find(u"--copy"), std::u16string::npos);

    desktop.hotkeysChanged({true, 0, {}, {}, place, false});
    EXPECT_EQ(desktop.balloons.back(), u"The desktop bound none of Quillory's hotkeys, so they do nothing in this "
                                       u"session.\n\nYou can give them keys in System Settings, Shortcuts, Quillory.");
    // The user gave every key in the desktop's settings: nothing more to say.
    desktop.hotkeysChanged({true, 0x1F, {}, {}, place, false});
    EXPECT_EQ(desktop.balloons.size(), 2U);
    EXPECT_EQ(overview(), help::kOverview);
}

TEST_F(HotkeyCommands, WhereTheKeysMissSomeProgramsTheOverviewNamesTheCommands)
{
    desktop.hotkeys = partial();
    desktop.program = "/opt/Quill ory/quillory";
    start();
    tick();
    EXPECT_EQ(overview(), help::kOverview +
                              u"\n\nOn this desktop the hotkeys do not reach every program. To have them everywhere, "
                              u"bind each key to its command in the desktop's keyboard shortcut settings:\n"
                              u"Ctrl-F1: '/opt/Quill ory/quillory' --show\nCtrl-F2: '/opt/Quill ory/quillory' "
                              u"--previous\nCtrl-F3: '/opt/Quill ory/quillory' --next\nCtrl-F4: '/opt/Quill "
                              u"ory/quillory' --copy\nCtrl-F5: '/opt/Quill ory/quillory' --hide");
    // A key another program holds under X11 reaches Quillory nowhere: the commands help there too.
    desktop.hotkeysChanged({true, 0b10111, {}, {}, {}, false});
    EXPECT_NE(overview().find(u"\nCtrl-F4: '/opt/Quill ory/quillory' --copy"), std::u16string::npos);
    desktop.hotkeysChanged({true, 0x1F, {}, {}, {}, false});
    EXPECT_EQ(overview(), help::kOverview);
}

TEST_F(HotkeyCommands, GnomeIsOfferedItsFreeKeysOnceAndRunsTheCommands)
{
    desktop.hotkeys = partial();
    desktop.shortcuts = DesktopShortcuts{0b10111, 0};
    desktop.expectConfirm(Answer::Yes);
    start();
    tick();
    ASSERT_TRUE(desktop.allConsumed());
    const std::u16string question = desktop.texts(ScriptedDesktop::Kind::Confirm).back();
    EXPECT_NE(question.find(u"in every program: Ctrl-F1, Ctrl-F2, Ctrl-F3 and Ctrl-F5."), std::u16string::npos);
    EXPECT_NE(question.find(u"GNOME already uses Ctrl-F4 for its own shortcuts"), std::u16string::npos);
    ASSERT_EQ(desktop.boundShortcuts.size(), 1U);
    EXPECT_EQ(desktop.boundShortcuts[0].mask, 0b10111U);
    EXPECT_EQ(desktop.boundShortcuts[0].commands[0], u"/usr/local/bin/quillory --show");
    EXPECT_EQ(desktop.boundShortcuts[0].commands[3], u"/usr/local/bin/quillory --copy");
    EXPECT_EQ(desktop.balloons.back(), u"Quillory's hotkeys are now GNOME keyboard shortcuts: Ctrl-F1, Ctrl-F2, "
                                       u"Ctrl-F3 and Ctrl-F5. You can change them in Settings, Keyboard, "
                                       u"Keyboard Shortcuts.");
    EXPECT_EQ(overview(), help::kOverview);

    // Next start: the desktop runs our commands; nothing is asked (an unexpected box fails).
    restart();
    EXPECT_EQ(desktop.boundShortcuts.size(), 1U);
    EXPECT_EQ(overview(), help::kOverview);
}

TEST_F(HotkeyCommands, ANoStandsAndAFailedBindIsReported)
{
    desktop.hotkeys = partial();
    desktop.shortcuts = DesktopShortcuts{0x1F, 0};
    desktop.expectConfirm(Answer::No);
    start();
    tick();
    EXPECT_TRUE(desktop.boundShortcuts.empty());
    EXPECT_NE(overview().find(u"--hide"), std::u16string::npos);
    restart();
    EXPECT_TRUE(desktop.boundShortcuts.empty());

    // Another data folder's first start, whose bind fails: said, and the commands still named.
    fs::remove(dataDir() / ".desktop-shortcuts-asked");
    desktop.bindFailure = u"GNOME's settings store (dconf) is not available to Quillory.";
    desktop.expectConfirm(Answer::Yes);
    desktop.expectError();
    restart();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Error).back(),
              u"Quillory's hotkeys could not be added to GNOME's keyboard shortcuts.\n\nGNOME's settings store "
              u"(dconf) is not available to Quillory.");
    EXPECT_NE(overview().find(u"--hide"), std::u16string::npos);
}

TEST_F(HotkeyCommands, NothingIsOfferedWhereTheKeysReachEveryProgramOrNoneAreFree)
{
    desktop.shortcuts = DesktopShortcuts{0x1F, 0};
    start();
    tick(); // every key grabbed on X11: no box
    desktop.hotkeys = partial();
    desktop.shortcuts = DesktopShortcuts{0, 0};
    restart(); // GNOME uses all five: no box either
    EXPECT_TRUE(desktop.boundShortcuts.empty());
    EXPECT_FALSE(fs::exists(dataDir() / ".desktop-shortcuts-asked"));
}

TEST_F(HotkeyCommands, ACommandThatStartedTheProgramActsOnceStartUpIsDone)
{
    writeConfig({.projectPath = makeProject("Q.qlyp.dir", {"One", "Two"}).u16string(),
                 .currentItem = u"Two",
                 .startInTray = true});
    start();
    std::vector<bool> visibleWhenRun;
    form->WhenStarted([&] { visibleWhenRun.push_back(form->isVisible()); });
    EXPECT_TRUE(visibleWhenRun.empty());
    tick();
    // After the start in the tray hid the window, so a show command shows it for good.
    EXPECT_EQ(visibleWhenRun, std::vector<bool>{false});
    form->WhenStarted([&] { visibleWhenRun.push_back(true); });
    EXPECT_EQ(visibleWhenRun.size(), 2U);
    tick();
    EXPECT_EQ(visibleWhenRun.size(), 2U);
}

} // namespace
