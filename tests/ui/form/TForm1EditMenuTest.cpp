#include "support/FormFixture.h"

#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

using namespace quillory;
using namespace quillory::test;

namespace {

class Edit : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"One", "Two"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Two"});
        start();
        form->Edited = false;
    }
    void select(int from, int to)
    {
        QTextCursor c(form->RE->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        form->RE->setTextCursor(c);
    }
    [[nodiscard]] std::vector<std::string> menuEntries() const
    {
        std::vector<std::string> out;
        for (const QAction* a : form->PopupMenu->actions())
            out.push_back(a->objectName().toStdString() + (a->isSeparator() ? "" : "|" + a->text().toStdString()) +
                          (a->shortcut().isEmpty() ? "" : "|" + a->shortcut().toString().toStdString()));
        return out;
    }
    fs::path project;
};

} // namespace

TEST_F(Edit, TheContextMenuHoldsItsCommandsInOrder)
{
    // Redo takes the desktop's key: Ctrl+Shift+Z on most, Ctrl+Y on some.
    const std::string redo = "Redo1|&Redo|" + QKeySequence(QKeySequence::Redo).toString().toStdString();
    EXPECT_EQ(menuEntries(),
              (std::vector<std::string>{"SaveItem1|&Save Item as File", "AddItemfromFile1|A&dd Item from File", "N7",
                                        "Undo1|&Undo|Ctrl+Z", redo, "N12", "Cut1|Cu&t|Ctrl+X", "Copy1|&Copy|Ctrl+C",
                                        "Paste1|&Paste|Ctrl+V", "SelectAll1|Select &All|Ctrl+A", "Find2|&Find", "N9",
                                        "Print1|Pr&int|Ctrl+P"}));
}

TEST_F(Edit, OpeningTheMenuEnablesWhatCanBeDone)
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    struct Case {
        const char* what;
        bool selection;
        std::function<void(QClipboard*)> clipboard;
        bool cutCopy, paste;
    };
    const Case cases[] = {
        {"nothing selected, text", false, [](QClipboard* c) { c->setText(QStringLiteral("x")); }, false, true},
        {"a selection, text", true, [](QClipboard* c) { c->setText(QStringLiteral("x")); }, true, true},
        {"an empty clipboard", true, [](QClipboard* c) { c->clear(); }, true, false},
        {"a picture only", false, [&](QClipboard* c) { c->setImage(picture); }, false, false},
    };
    for (const Case& c : cases) {
        c.clipboard(QApplication::clipboard());
        select(0, c.selection ? 3 : 0);
        form->PopupMenuPopup();
        EXPECT_EQ(form->Cut1->isEnabled(), c.cutCopy) << c.what;
        EXPECT_EQ(form->Copy1->isEnabled(), c.cutCopy) << c.what;
        EXPECT_EQ(form->Paste1->isEnabled(), c.paste) << c.what;
        for (const QAction* always : {form->SaveItem1, form->AddItemfromFile1, form->SelectAll1, form->Print1})
            EXPECT_TRUE(always->isEnabled()) << c.what;
    }
}

TEST_F(Edit, CutAndPasteAreEditsCopyAndSelectAllAreNot)
{
    ASSERT_EQ(page(), "page Two");
    select(0, 5);
    form->Copy1->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("page "));
    form->SelectAll1->trigger();
    EXPECT_EQ(form->RE->textCursor().selectedText(), QStringLiteral("page Two"));
    EXPECT_FALSE(form->Edited);

    select(0, 5);
    form->Cut1->trigger();
    EXPECT_EQ(page(), "Two");
    EXPECT_TRUE(form->Edited);

    form->Edited = false;
    form->RE->moveCursor(QTextCursor::End);
    form->Paste1->trigger();
    EXPECT_EQ(page(), "Twopage ");
    EXPECT_TRUE(form->Edited);

    form->Edited = false;
    select(1, 1);
    form->Cut1Click(form.get()); // nothing to cut: still counted, as the command ran
    EXPECT_EQ(page(), "Twopage ");
    EXPECT_TRUE(form->Edited);

    form->Edited = false;
    form->RE->setReadOnly(true); // as while no page is shown
    select(0, 3);
    form->Cut1->trigger();
    form->Paste1->trigger();
    EXPECT_EQ(page(), "Twopage ");
    EXPECT_FALSE(form->Edited);
}

TEST_F(Edit, UndoAndRedoStepThroughThePageAndCountAsEdits)
{
    type(QStringLiteral(" more"));
    form->PopupMenuPopup();
    EXPECT_TRUE(form->Undo1->isEnabled());
    EXPECT_FALSE(form->Redo1->isEnabled());

    form->Edited = false;
    form->Undo1->trigger();
    EXPECT_EQ(page(), "page Two");
    EXPECT_TRUE(form->Edited) << "an undo changes the page as any edit does";
    form->PopupMenuPopup();
    EXPECT_TRUE(form->Redo1->isEnabled());

    form->Edited = false;
    form->Redo1->trigger();
    EXPECT_EQ(page(), "page Two more");
    EXPECT_TRUE(form->Edited);

    // By key, through the menu's command; without a page shown, nothing to undo.
    QApplication::setActiveWindow(form.get());
    form->RE->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Edited = false;
    QTest::keyClick(form->RE, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page(), "page Two");
    EXPECT_TRUE(form->Edited);
    form->RE->setReadOnly(true);
    form->PopupMenuPopup();
    EXPECT_FALSE(form->Undo1->isEnabled());
}

TEST_F(Edit, TheMenuShortcutsActInTheEditor)
{
    QApplication::setActiveWindow(form.get());
    form->RE->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    select(0, 5);
    QSignalSpy cut(form->Cut1, &QAction::triggered);
    QTest::keyClick(form->RE, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(cut.count(), 1);
    EXPECT_EQ(page(), "Two");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("page "));
    EXPECT_TRUE(form->Edited);

    QTest::keyClick(form->RE, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(desktop.printed.size(), 1u);
    EXPECT_EQ(desktop.printed[0].text, u"Two");
}

TEST_F(Edit, PrintSendsThePageAndSaysSo)
{
    form->SpeedButton8->click();
    form->Print1->trigger();
    ASSERT_EQ(desktop.printed.size(), 2u);
    EXPECT_EQ(desktop.printed[0].title, u"Quillory");
    EXPECT_EQ(desktop.printed[0].text, u"page Two");
    EXPECT_EQ(desktop.balloons, std::vector<std::u16string>(2, u"Page: Two Sent to the printer."));
    EXPECT_FALSE(form->Edited);

    desktop.tray = false; // the confirmation comes in a box instead
    desktop.expectInfo();
    form->Print1->trigger();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info),
              std::vector<std::u16string>{u"Page: Two Sent to the printer."});
}

TEST_F(Edit, AFailedPrintShowsWhyAndNoBalloon)
{
    desktop.printResult = {false, u"There is no default printer."};
    desktop.expectError();
    form->Print1->trigger();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Error),
              std::vector<std::u16string>{u"There is no default printer."});
    EXPECT_TRUE(desktop.balloons.empty());
}

TEST_F(Edit, HelpModeExplainsPrintInsteadOfPrinting)
{
    form->SpeedButton9->click();
    desktop.expectInfo();
    form->SpeedButton8->click();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info), std::vector<std::u16string>{help::kPrint});
    EXPECT_TRUE(desktop.printed.empty());
    EXPECT_TRUE(desktop.balloons.empty());
}

TEST_F(Edit, APrintNamesThePagePrintedWhenThePrintSystemAnswersLater)
{
    desktop.holdPrints = true;
    form->Print1->trigger();
    EXPECT_TRUE(desktop.balloons.empty()); // the window goes on while the print server thinks
    click(0);                              // another page is shown meanwhile
    ASSERT_EQ(desktop.pendingPrints.size(), 1u);
    desktop.pendingPrints[0]();
    EXPECT_EQ(desktop.balloons, std::vector<std::u16string>{u"Page: Two Sent to the printer."});
}
