#include "support/FormFixture.h"
#include "support/ScopedFaults.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace quillory;
using namespace quillory::test;

namespace {

// What a failure leaves behind: the page, the item, the project and `Edited` as they were.
class Failures : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"A", "B"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"A"});
    }
    bool closeButton()
    {
        QCloseEvent event;
        QCoreApplication::sendEvent(form.get(), &event);
        return event.isAccepted();
    }
    // Fails the n-th read of `name` (counting from 1) and no other operation.
    static ScopedFaults failNthRead(std::string name, int n)
    {
        auto count = std::make_shared<int>(0);
        return ScopedFaults::byRule([=](std::string_view operation, std::string_view file) {
            if (operation == "read" && file == name && ++*count == n)
                return std::make_error_code(std::errc::permission_denied);
            return std::error_code();
        });
    }
    fs::path project;
};

} // namespace

TEST_F(Failures, AnOpenedProjectWhoseFirstPageWillNotLoadShowsTheNextAndNeverGetsTheOldPage)
{
    start();
    type(QStringLiteral(" typed in P"));
    form->Edited = false; // the user answered No to saving earlier
    const fs::path other = makeProject("Q.qlyp.dir", {"A", "B"});
    {
        // Read 1 copies Q's A into the buffer, read 2 loads it into the editor.
        const auto faults = failNthRead("A", 2);
        desktop.expectFolder(other);
        desktop.expectError();
        form->SaveProjectAs1Click(form->OpenProject);
    }
    EXPECT_EQ(form->ProjectPath, other.u16string());
    EXPECT_EQ(form->CurrentItem, u"B");
    EXPECT_EQ(page(), "page B");
    EXPECT_NE(desktop.texts(ScriptedDesktop::Kind::Error).at(0).find(u"Q.qlyp.dir/A"), std::u16string::npos);

    click(0); // A reads now
    EXPECT_EQ(page(), "page A");
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_EQ(readFile(other / "A"), "page A");
}

TEST_F(Failures, AnOpenedProjectsFailureBoxOpensWithTheWholeStateMoved)
{
    start();
    const fs::path other = makeProject("Q.qlyp.dir", {"A", "B"});
    const auto faults = ScopedFaults({{"read", "A"}}); // A never reaches Q's buffer
    desktop.expectFolder(other);
    // Under the box a hotkey, a reminder or the tray may act: they must find Q, its buffer and
    // its page together, never P's page over Q's buffer.
    bool checked = false;
    desktop.expectError([&] {
        checked = true;
        EXPECT_EQ(form->ProjectPath, other.u16string());
        EXPECT_EQ(form->CurrentItem, u"B");
        EXPECT_EQ(page(), "page B");
        EXPECT_EQ(entries(), std::vector<std::string>{"B"});
    });
    form->SaveProjectAs1Click(form->OpenProject);
    EXPECT_TRUE(checked);
}

TEST_F(Failures, AddItemWhoseBufferFileCannotBeMadeLeavesNoOrphanPage)
{
    start();
    int creates = 0;
    const auto faults = ScopedFaults::byRule([&](std::string_view operation, std::string_view name) {
        // The project's file is made first, the buffer's second.
        const bool fails = operation == "create" && name == "Notes" && ++creates == 2;
        return fails ? std::make_error_code(std::errc::no_space_on_device) : std::error_code();
    });
    desktop.expectPrompt(u"Notes");
    desktop.expectError();
    form->AddItem1Click(form->AddItem2);
    EXPECT_FALSE(fs::exists(project / "Notes")) << "an orphan page would appear at the next open";
    EXPECT_FALSE(fs::exists(bufferDir() / "Notes"));
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(Failures, AtStartUpAPageThatDidNotReachTheBufferIsNeverCurrentNorOverwritten)
{
    writeConfig({.projectPath = project.u16string(), .currentItem = u"B"});
    {
        const ScopedFaults faults({{"read", "B"}});
        start();
    }
    EXPECT_EQ(form->CurrentItem, u"A");
    EXPECT_EQ(page(), "page A");
    EXPECT_EQ(entries(), std::vector<std::string>{"A"});
    desktop.expectError(); // kept for the first tick: start-up opens no box
    tick();
    EXPECT_NE(desktop.texts(ScriptedDesktop::Kind::Error).at(0).find(u"P.qlyp.dir/B"), std::u16string::npos);
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_EQ(readFile(project / "B"), "page B");
}

TEST_F(Failures, WhenNoPageLoadsAtStartUpTheEditorIsEmptyReadOnlyAndWrittenNowhere)
{
    {
        const ScopedFaults faults({{"read", "A"}, {"read", "B"}});
        start();
    }
    EXPECT_EQ(form->CurrentItem, u"");
    EXPECT_EQ(page(), "");
    EXPECT_TRUE(form->RE->isReadOnly());
    desktop.expectError();
    tick();
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_EQ(readFile(project / "A"), "page A");
    EXPECT_EQ(readFile(project / "B"), "page B");
    EXPECT_TRUE(fs::is_empty(bufferDir()));
}

// Every command that saves first stops when the save fails: the window stays, the program runs
// on, the buffer keeps its pages and `Edited` stays set.
TEST_F(Failures, AFailedSaveStopsTheCommandThatAskedForIt)
{
    struct Case {
        const char* name;
        std::function<void(TForm1&)> command;
    };
    const Case cases[] = {
        {"Open Project", [](TForm1& f) { f.SaveProjectAs1Click(f.OpenProject); }},
        {"recent double-click",
         [](TForm1& f) {
             f.OpenRecent->setCurrentRow(0);
             f.OpenRecentDblClick();
         }},
        {"close button",
         [](TForm1& f) {
             QCloseEvent event;
             QCoreApplication::sendEvent(&f, &event);
             EXPECT_FALSE(event.isAccepted());
         }},
        {"Exit", [](TForm1& f) { f.Exit1Click(f.Exit1); }},
        {"Ctrl+F5", [](TForm1& f) { f.HotkeyPressed(5); }},
        {"Ctrl+F4 with Minimise after Copy",
         [](TForm1& f) {
             f.MinimiseafterCopy->setChecked(true);
             f.HotkeyPressed(4);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        tick();
        type(QStringLiteral(" unsaved"));
        const ScopedFaults faults({{"write", "A"}});
        desktop.expectConfirm(Answer::Yes);
        desktop.expectError();
        c.command(*form);
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->Edited);
        EXPECT_EQ(form->ProjectPath, project.u16string());
        EXPECT_NE(page().find("unsaved"), std::string::npos);
        EXPECT_TRUE(desktop.allConsumed());
        form.reset();
    }
}

TEST_F(Failures, AFailedAutosaveAsksSoTheUserCanStillLeaveWithoutSaving)
{
    start();
    form->Autosave->setChecked(true);
    type(QStringLiteral(" unsaved"));
    const ScopedFaults faults({{"write", "A"}});
    desktop.expectError();
    desktop.expectConfirm(Answer::No);
    EXPECT_FALSE(closeButton());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).at(0),
              u"Contents have been changed.\n\nSave before minimising?");
}

TEST_F(Failures, ASaveNamesEveryFileThatDidNotArriveAndStaysEdited)
{
    start();
    form->Edited = true;
    const ScopedFaults faults({{"write", "B"}});
    writeFile(bufferDir() / "B", "page B changed here"); // so B has to be written
    desktop.expectError();
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_TRUE(form->Edited);
    EXPECT_NE(desktop.texts(ScriptedDesktop::Kind::Error).at(0).find(u"P.qlyp.dir/B"), std::u16string::npos);
}

TEST_F(Failures, AFailedRelocateStaysOnTheOldProjectAndLeavesNoHalfCopy)
{
    start();
    type(QStringLiteral(" typed"));
    const fs::path parent = home / "Elsewhere";
    fs::create_directories(parent);
    const ScopedFaults faults({{"write", "B"}});
    desktop.expectFolder(parent);
    desktop.expectPrompt(u"Moved");
    desktop.expectError();
    form->SaveProjectAs1Click(form->SaveProjectAs1);
    EXPECT_EQ(form->ProjectPath, project.u16string());
    EXPECT_TRUE(form->Edited);
    EXPECT_FALSE(fs::exists(parent / "Moved.qlyp.dir"));
}

TEST_F(Failures, APathWithALineBreakIsRefusedBeforeAnythingChanges)
{
    start();
    const fs::path odd = home / "two\nlines.qlyp.dir";
    makeProject("two\nlines.qlyp.dir", {"Z"});
    for (QAction* command : {form->OpenProject, form->NewProject, form->SaveProjectAs1}) {
        desktop.expectFolder(command == form->OpenProject ? odd : home / "a\nb");
        desktop.expectInfo();
        form->SaveProjectAs1Click(command);
        EXPECT_EQ(form->ProjectPath, project.u16string());
    }
    EXPECT_NE(desktop.texts(ScriptedDesktop::Kind::Info).at(0).find(u"line break"), std::u16string::npos);
}

TEST_F(Failures, AHiddenWindowAsksOneHideQuestionAtATime)
{
    start();
    type(QStringLiteral(" unsaved"));
    desktop.expectConfirm(Answer::Cancel, [this] {
        form->HotkeyPressed(5);
        form->MinimiseafterCopy->setChecked(true);
        form->HotkeyPressed(4); // still copies, without a second question
    });
    form->HotkeyPressed(5);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).size(), 1u);
    EXPECT_EQ(desktop.balloons.size(), 1u);
}

TEST_F(Failures, StartInTrayWithoutTrayOrHotkeyMinimisesInsteadOfVanishing)
{
    writeConfig({.projectPath = project.u16string(), .currentItem = u"A", .startInTray = true});
    desktop.tray = false;
    desktop.hotkeys = {false, 0, u"no hotkeys here", {}};
    start();
    desktop.expectInfo(); // minimised, not hidden, and why
    desktop.expectInfo(); // no hotkeys, said in a box where no balloon can
    tick();
    EXPECT_TRUE(form->isMinimized());
}

TEST_F(Failures, WithoutATrayTheBalloonIsABoxOnceAndDoesNotCountAsShown)
{
    desktop.tray = false;
    start();
    tick();
    desktop.expectInfo();
    closeButton();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->TrayHintShown);
    form->show();
    closeButton(); // said once per run
    EXPECT_TRUE(desktop.balloons.empty());
}

TEST_F(Failures, FunctionKeysCopyInHelpMode)
{
    start();
    form->EnableFunctionKeyCopy->setChecked(true);
    form->SpeedButton9Click(form->SpeedButton9);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    EXPECT_EQ(form->CurrentItem, u"B");
    EXPECT_EQ(desktop.balloons.size(), 1u);
}

TEST_F(Failures, AMalformedConfigNeverEndsStartUp)
{
    // UTF-16 with a lone surrogate in the project path of line 5.
    std::u16string text = u"0\r\n0\r\n655\r\n539\r\n/nowhere/\xD800.qlyp.dir\r\n185\r\nA\r\n";
    std::string bytes("\xFF\xFE");
    for (char16_t u : text) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    writeFile(dataDir() / "config", bytes);
    start();
    desktop.expectInfo(); // the project could not be loaded: the default one opens
    tick();
    EXPECT_EQ(form->ProjectPath, defaultProject().u16string());
}

TEST_F(Failures, TheTickStartsOnlyOnceStartUpHasRun)
{
    TForm1 window(desktop);
    EXPECT_FALSE(window.Timer1->isActive());
    window.show();
    EXPECT_TRUE(window.Timer1->isActive());
}
