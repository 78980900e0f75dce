#include "support/FormFixture.h"

#include "core/text/TextDecoder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QListWidget>
#include <QToolButton>

using namespace quillory;
using namespace quillory::test;

namespace {

class Tray : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"One", "Two", "Three"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Two"});
        start();
        tick();
    }
    [[nodiscard]] std::vector<std::u16string> configLines() const
    {
        return SplitLines(DecodePlainText(readFile(dataDir() / "config")));
    }
    bool closeButton()
    {
        QCloseEvent event;
        QCoreApplication::sendEvent(form.get(), &event);
        return event.isAccepted();
    }
    fs::path project;
    const std::u16string balloon = u"Quillory is now minimised to the system tray. To quit the programme use "
                                   u"File|Exit from the main window. - Ctrl-F1 open | Ctrl-F5 to close";
};

} // namespace

TEST_F(Tray, TheFirstCloseHidesShowsTheBalloonAndWritesConfig)
{
    EXPECT_FALSE(closeButton());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(desktop.balloons, std::vector<std::u16string>{balloon});
    const auto lines = configLines();
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[4], project.u16string());
    EXPECT_EQ(lines[6], u"Two");
    EXPECT_EQ(lines[9], u"1");
    EXPECT_EQ(lines[14], u"1");
    EXPECT_EQ(form->SavedItemIndex, 1);
    const std::string raw = readFile(dataDir() / "config");
    EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");

    // From now on only one close in fifty shows it.
    form->show();
    desktop.randoms = {3};
    closeButton();
    EXPECT_EQ(desktop.balloons.size(), 1u);
    form->show();
    desktop.randoms = {42};
    closeButton();
    EXPECT_EQ(desktop.balloons.size(), 2u);
}

TEST_F(Tray, UnsavedEditsAskBeforeMinimising)
{
    type(QStringLiteral(" edit"));
    desktop.expectConfirm(Answer::Cancel);
    EXPECT_FALSE(closeButton());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Edited);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).back(),
              u"Contents have been changed.\n\nSave before minimising?");
    EXPECT_EQ(configLines().size(), 16u); // written on the stay path too

    desktop.expectConfirm(Answer::No);
    closeButton();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Edited); // declined changes no longer count as unsaved
    EXPECT_EQ(readFile(project / "Two"), "page Two");

    form->show();
    type(QStringLiteral(" again"));
    desktop.expectConfirm(Answer::Yes);
    closeButton();
    EXPECT_NE(readFile(project / "Two").find("again"), std::string::npos);
}

TEST_F(Tray, ExitAsksWithQuittingAndCancelKeepsRunning)
{
    type(QStringLiteral(" edit"));
    desktop.expectConfirm(Answer::Cancel);
    form->Exit1Click(form->Exit1);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).back(),
              u"Contents have been changed.\n\nSave before quitting?");
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->Quitting());
    // The next close asks about minimising again.
    desktop.expectConfirm(Answer::Cancel);
    closeButton();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).back(),
              u"Contents have been changed.\n\nSave before minimising?");
}

TEST_F(Tray, ExitAnsweredYesSavesAndNoDiscardsButBothQuit)
{
    type(QStringLiteral(" kept"));
    desktop.expectConfirm(Answer::Yes);
    form->Exit1Click(form->Exit1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(readFile(project / "Two").find("kept"), std::string::npos);
    EXPECT_EQ(configLines().size(), 16u);

    form->show();
    type(QStringLiteral(" lost"));
    fs::remove(dataDir() / "config");
    desktop.expectConfirm(Answer::No);
    form->Exit1Click(form->Exit1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(readFile(project / "Two").find("lost"), std::string::npos);
    EXPECT_EQ(configLines().size(), 16u);
    EXPECT_TRUE(desktop.balloons.empty());
}

TEST_F(Tray, ExitWithoutEditsClosesTheWindow)
{
    form->Exit1Click(form->Exit2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(desktop.balloons.empty()); // the quit path, not the minimise path
    EXPECT_EQ(configLines().size(), 16u);
    EXPECT_FALSE(form->Quitting());
}

TEST_F(Tray, AutosaveSavesAndAsksNothing)
{
    form->Autosave->setChecked(true);
    type(QStringLiteral(" auto"));
    closeButton();
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(readFile(project / "Two").find("auto"), std::string::npos);
}

TEST_F(Tray, HelpModeIsOffAfterAClose)
{
    form->SpeedButton9Click(form->SpeedButton9);
    ASSERT_TRUE(form->HelpMode);
    closeButton();
    EXPECT_FALSE(form->HelpMode);
    EXPECT_TRUE(form->LB->isEnabled());
}

TEST_F(Tray, HelpModeExplainsExitInsteadOfQuitting)
{
    form->SpeedButton9Click(form->SpeedButton9);
    desktop.expectInfo();
    form->Exit1Click(form->Exit2);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->Quitting());
}

TEST_F(Tray, OpenShowsButDoubleClickAlsoBringsToTheFront)
{
    closeButton();
    form->Open1Click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isStayOnTop());
    closeButton();
    form->TrayIcon1DblClick();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isStayOnTop());
    tick();
    EXPECT_FALSE(form->isStayOnTop()); // "Stay on Top" is off: an ordinary window again
}

TEST_F(Tray, AConfigThatCannotBeWrittenIsReportedAndTheCloseGoesOn)
{
    fs::remove(dataDir() / "config");
    fs::create_directories(dataDir() / "config" / "in-the-way");
    desktop.expectError();
    EXPECT_FALSE(closeButton());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Tray, WithNeitherTrayNorHotkeyTheWindowMinimisesInsteadOfVanishing)
{
    form.reset();
    desktop.tray = false;
    desktop.hotkeys = {false, 0, u"no X11", {}};
    start();
    desktop.expectInfo(); // why there are no hotkeys: no balloon can say it
    tick();
    desktop.expectInfo();
    closeButton();
    EXPECT_TRUE(form->isMinimized() || form->isVisible());
    form->showNormal();
    closeButton(); // said once only
}

namespace {

// A dotfile manager keeps the settings elsewhere and links them into the data folder.
class LinkedSettings : public FormFixture {};

TEST_F(LinkedSettings, ConfigAndRecentAreWrittenThroughTheirLinks)
{
    const fs::path project = makeProject("P.qlyp.dir", {"One"});
    writeConfig({.projectPath = project.u16string(), .currentItem = u"One"});
    const fs::path dotfiles = home / "dotfiles";
    fs::create_directories(dotfiles);
    for (const char* name : {"config", "Recent"}) {
        if (fs::exists(dataDir() / name))
            fs::rename(dataDir() / name, dotfiles / name);
        fs::create_symlink(dotfiles / name, dataDir() / name);
    }
    start();
    tick(); // the open project joins the recent list
    form->close();
    for (const char* name : {"config", "Recent"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::is_symlink(dataDir() / name));
        EXPECT_NE(readFile(dotfiles / name).find(project.filename().string()), std::string::npos);
    }
}

} // namespace
