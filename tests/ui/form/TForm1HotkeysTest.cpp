#include "support/FormFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

using namespace quillory;
using namespace quillory::test;

namespace {
class Hotkeys : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"One", "Two", "Three", "Four", "Five"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Three"});
        start();
        tick(); // remembers the start-up selection
    }
    [[nodiscard]] static std::string clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
    fs::path project;
};
} // namespace

TEST_F(Hotkeys, RegisteredAtCreationAndDeliveredById)
{
    ASSERT_TRUE(desktop.hotkeyPressed);
    desktop.hotkeyPressed(3);
    EXPECT_EQ(selected(), "Four");
}

TEST_F(Hotkeys, CtrlF1ShowsTheItemRememberedAtTheLastHide)
{
    form->HotkeyPressed(3);
    form->HotkeyPressed(5); // hides on "Four"
    EXPECT_FALSE(form->isVisible());
    form->show();
    form->HotkeyPressed(3);
    EXPECT_EQ(selected(), "Five");
    form->hide();
    form->HotkeyPressed(1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isStayOnTop());
    EXPECT_EQ(selected(), "Four");
    EXPECT_EQ(page(), "page Four");
    EXPECT_EQ(form->RE->textCursor().position(), 9);
}

TEST_F(Hotkeys, CtrlF2AndCtrlF3StopAtTheEndsButStillSwitch)
{
    form->HotkeyPressed(2);
    form->HotkeyPressed(2);
    EXPECT_EQ(selected(), "One");
    type(QStringLiteral("+"));
    form->HotkeyPressed(2); // at the first entry: written and read back
    EXPECT_EQ(page(), "page One+");
    EXPECT_EQ(readFile(bufferDir() / "One").find("page One+") != std::string::npos, true);
    for (int i = 0; i < 6; ++i)
        form->HotkeyPressed(3);
    EXPECT_EQ(selected(), "Five");
}

TEST_F(Hotkeys, CtrlF2AndCtrlF3DoNothingWhileHidden)
{
    form->hide();
    type(QStringLiteral("unsaved"));
    form->HotkeyPressed(3);
    form->HotkeyPressed(2);
    EXPECT_EQ(selected(), "Three");
    EXPECT_EQ(readFile(bufferDir() / "Three"), "page Three"); // not even a switch
}

TEST_F(Hotkeys, CtrlF4CopiesThePageShownAlsoWhileHidden)
{
    form->hide();
    form->HotkeyPressed(4);
    EXPECT_EQ(clipboard(), "page Three");
    EXPECT_EQ(desktop.balloons.back(), u"Quillory says.. Text copied to Clipboard.");
    EXPECT_EQ(form->RE->textCursor().position(), 0);
    EXPECT_FALSE(form->RE->textCursor().hasSelection());
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasText());
}

TEST_F(Hotkeys, MinimiseAfterCopyAsksAboutUnsavedChangesEvenWhenHidden)
{
    form->MinimiseafterCopy->setChecked(true);
    type(QStringLiteral(" changed"));
    form->hide();
    desktop.expectConfirm(Answer::No);
    form->HotkeyPressed(4);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).back(),
              u"Contents have been changed.\n\nSave before Minimising?");
}

TEST_F(Hotkeys, CtrlF5CancelKeepsTheWindowAndNoKeepsEdited)
{
    type(QStringLiteral(" changed"));
    desktop.expectConfirm(Answer::Cancel);
    form->HotkeyPressed(5);
    EXPECT_TRUE(form->isVisible());
    desktop.expectConfirm(Answer::No);
    form->HotkeyPressed(5);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->Edited);
    tick();
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" *")));
}

TEST_F(Hotkeys, CtrlF5TurnsHelpModeOff)
{
    form->SpeedButton9Click(form->SpeedButton9);
    form->HotkeyPressed(5);
    EXPECT_FALSE(form->HelpMode);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Hotkeys, FunctionKeysCopyTheFirstNineItems)
{
    form->EnableFunctionKeyCopy->setChecked(true);
    QApplication::setActiveWindow(form.get());
    form->LB->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), form->LB);
    QTest::keyClick(form->LB, Qt::Key_F3);
    EXPECT_EQ(selected(), "Three");
    EXPECT_EQ(clipboard(), "page Three");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2, Qt::ShiftModifier); // the editor has the focus now
    EXPECT_EQ(selected(), "Two");
    EXPECT_EQ(clipboard(), "page Two");
    for (const Qt::Key beyond : {Qt::Key_F6, Qt::Key_F7}) { // only five items
        QGuiApplication::clipboard()->clear();
        form->FormKeyDown(beyond, {});
        EXPECT_EQ(selected(), "Two");
        EXPECT_EQ(clipboard(), "");
    }
    form->EnableFunctionKeyCopy->setChecked(false);
    form->FormKeyDown(Qt::Key_F1, {});
    EXPECT_EQ(selected(), "Two");
}

TEST_F(Hotkeys, OtherIdsAreIgnored)
{
    form->HotkeyPressed(0);
    form->HotkeyPressed(6);
    EXPECT_EQ(selected(), "Three");
}
