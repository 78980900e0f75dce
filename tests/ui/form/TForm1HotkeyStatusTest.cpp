#include "support/FormFixture.h"

#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QWindow>

using namespace quillory;
using namespace quillory::test;

namespace {

class Desktops : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"One", "Two"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Two"});
    }
    [[nodiscard]] std::u16string overview()
    {
        desktop.expectInfo();
        form->SpeedButton6Click(form->SpeedButton6);
        return desktop.texts(ScriptedDesktop::Kind::Info).back();
    }
    static HotkeyStatus bound(unsigned mask, std::array<std::u16string, 5> otherKeys = {})
    {
        return {true, mask, {}, std::move(otherKeys)};
    }
    [[nodiscard]] static std::string clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
    fs::path project;
};

} // namespace

TEST_F(Desktops, TheOverviewNamesTheKeysTheDesktopBound)
{
    start();
    tick();
    EXPECT_EQ(overview(), help::kOverview);
    EXPECT_TRUE(desktop.balloons.empty());

    std::array<std::u16string, 5> other{};
    other[3] = u"Ctrl+Alt+C";
    ASSERT_TRUE(desktop.hotkeysChanged);
    desktop.hotkeysChanged(bound(0b11011, other));
    const std::u16string text = overview();
    EXPECT_NE(text.find(u"\nCtrl+Alt+C = Copies the entire page displayed to the clipboard\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\n(no key) = Moves down the item list\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\nCtrl-F1 = Displays Quillory on the Desktop\n"), std::u16string::npos);
    // After the first tick the change is news at once, with the keys as bound.
    ASSERT_EQ(desktop.balloons.size(), 1U);
    EXPECT_EQ(desktop.balloons[0], u"Quillory's hotkeys in this session:\nCtrl-F1 = Displays Quillory on the Desktop\n"
                                   u"Ctrl-F2 = Moves up the item list\n(no key) = Moves down the item list\n"
                                   u"Ctrl+Alt+C = Copies the entire page displayed to the clipboard\n"
                                   u"Ctrl-F5 = Minimises Quillory back to the system tray");

    // The copy command's explanation quotes the overview as it now reads.
    form->SpeedButton9Click(form->SpeedButton9);
    desktop.expectInfo();
    form->CopyItemtoClipboardCtrlF4Hotkey1Click(form->SpeedButton7);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info).back(),
              help::kCopyToClipboardIntro + text + help::kCopyToClipboardOutro);
    form->SpeedButton9Click(form->SpeedButton9);

    desktop.hotkeysChanged(bound(0x1F));
    EXPECT_EQ(overview(), help::kOverview);
    EXPECT_EQ(desktop.balloons.size(), 1U);
}

TEST_F(Desktops, ADesktopThatBindsNothingGivesTheFallback)
{
    desktop.tray = false;
    start();
    desktop.hotkeysChanged(bound(0)); // before the first tick: the tick says it, in a box without a tray
    EXPECT_TRUE(desktop.shown.empty());
    desktop.expectInfo();
    tick();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info),
              std::vector<std::u16string>{
                  u"The desktop bound none of Quillory's hotkeys, so they do nothing in this session."});
    // Neither tray nor Ctrl+F1: closing minimises rather than hiding for good.
    desktop.expectInfo();
    form->close();
    EXPECT_TRUE(form->isMinimized());
}

TEST_F(Desktops, ACopyThatDidNotHappenIsNeverReportedAsDone)
{
    start();
    tick();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    desktop.copyWorks = false;
    form->HotkeyPressed(4);
    EXPECT_EQ(clipboard(), "before");
    EXPECT_EQ(desktop.balloons,
              std::vector<std::u16string>{u"Quillory says.. The page could not be put on the Clipboard."});

    // A copy that waits for the desktop says so only when it is done.
    desktop.copyWorks = true;
    desktop.holdCopies = true;
    form->HotkeyPressed(4);
    EXPECT_EQ(desktop.balloons.size(), 1U);
    ASSERT_EQ(desktop.pendingCopies.size(), 1U);
    desktop.pendingCopies[0]();
    EXPECT_EQ(clipboard(), "page Two");
    EXPECT_EQ(desktop.balloons.back(), u"Quillory says.. Text copied to Clipboard.");

    // The window is gone before the desktop answers: the answer finds nobody to tell.
    form->HotkeyPressed(4);
    form.reset();
    desktop.pendingCopies[1]();
}

TEST_F(Desktops, AStatusNotifierTrayActivatesOnAClickAnXEmbedTrayOnADoubleClick)
{
    start();
    tick();
    form->hide();
    emit form->TrayIcon1->activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(form->isVisible());
    emit form->TrayIcon1->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(form->isVisible());

    form->hide();
    desktop.clickActivatesTray = true;
    emit form->TrayIcon1->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(form->isVisible());
    emit form->TrayIcon1->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isStayOnTop());
}

TEST_F(Desktops, StayOnTopChangesOnlyTheAttributeNeverQtsWindowFlag)
{
    start();
    tick();
    const WId id = form->winId();
    for (int cycle = 0; cycle < 3; ++cycle) {
        form->HotkeyPressed(5);
        form->HotkeyPressed(1);
        EXPECT_TRUE(desktop.isStayOnTop(*form));
        tick();
        EXPECT_FALSE(desktop.isStayOnTop(*form));
    }
    EXPECT_EQ(desktop.stayOnTopChanges, 6);
    EXPECT_FALSE(form->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->winId(), id);
}

TEST_F(Desktops, AProgramPathThatIsNotUtf8IsRefusedWithAMessage)
{
    desktop.program = "/opt/caf\xe9/quillory";
    start();
    tick();
    desktop.expectError();
    form->StartwithWindows1->setChecked(true);
    form->StartwithWindows1Click(form->StartwithWindows1);
    EXPECT_FALSE(form->StartwithWindows1->isChecked());
    EXPECT_FALSE(fs::exists(desktop.autostart / "Quillory.desktop"));
    const std::u16string text = desktop.texts(ScriptedDesktop::Kind::Error).back();
    EXPECT_NE(text.find(u"/opt/caf\u00e9/quillory"), std::u16string::npos);
    EXPECT_NE(text.find(u"not valid UTF-8"), std::u16string::npos);
}
