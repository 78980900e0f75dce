#include "support/FormFixture.h"

#include "core/store/OrderStamp.h"

#include "ui/find/FindBar.h"
#include "ui/find/SearchResults.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>

// Find in the page shown and the search of every page, in the window.
namespace quillory::test {
namespace {

class Find : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"Apples", "Bananas", "Cherries", "Dates"});
        writeFile(project / "Apples", "Red apples. A red one, a green one, and Redwood.");
        writeFile(project / "Bananas", "Yellow fruit.");
        writeFile(project / "Cherries", "Red stone fruit from the orchard.");
        writeFile(project / "Dates", "Sweet and brown.");
        for (std::size_t i = 0; i < 4; ++i)
            fs::last_write_time(project / entriesInOrder[i], store::OrderStamp(i));
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Apples"});
        start();
        QApplication::setActiveWindow(form.get());
    }

    [[nodiscard]] std::string count() const { return form->FindBar1->FindCount->text().toStdString(); }
    [[nodiscard]] std::string selection() const { return form->RE->textCursor().selectedText().toStdString(); }
    [[nodiscard]] std::vector<std::string> found() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < form->SearchList->count(); ++row)
            names.push_back(form->SearchList->item(row)->text().toStdString());
        return names;
    }
    // Types into the search field and waits for the list the index answers with.
    void search(const QString& words, std::size_t expected)
    {
        form->SearchBox->setFocus();
        form->SearchBox->setText(words);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->searchShown() && found().size() == expected; }, 30000))
            << words.toStdString() << ": " << found().size();
    }

    static inline const std::vector<std::string> entriesInOrder{"Apples", "Bananas", "Cherries", "Dates"};
    fs::path project;
};

TEST_F(Find, TheFindBarStepsThroughTheMatchesWithoutChangingThePage)
{
    const std::string before = readFile(bufferDir() / "Apples");
    form->Find1Click(form->Find1);
    ASSERT_TRUE(form->FindBar1->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), form->FindBar1->FindText);
    QTest::keyClicks(form->FindBar1->FindText, QStringLiteral("red"));
    EXPECT_EQ(count(), "1 of 3"); // Red, red, Redwood
    EXPECT_EQ(selection(), "Red");
    EXPECT_EQ(form->RE->extraSelections().size(), 3);
    QTest::keyClick(form->FindBar1->FindText, Qt::Key_Return);
    EXPECT_EQ(count(), "2 of 3");
    QTest::keyClick(form->FindBar1->FindText, Qt::Key_Return);
    QTest::keyClick(form->FindBar1->FindText, Qt::Key_Return); // wraps
    EXPECT_EQ(count(), "1 of 3");
    QTest::keyClick(form->FindBar1->FindText, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(count(), "3 of 3");
    EXPECT_EQ(selection(), "Red"); // of Redwood

    form->FindBar1->FindWholeWords->setChecked(true);
    EXPECT_EQ(form->RE->extraSelections().size(), 2);
    form->FindBar1->FindMatchCase->setChecked(true);
    EXPECT_EQ(form->RE->extraSelections().size(), 1);
    form->FindBar1->FindText->setText(QStringLiteral("plums"));
    EXPECT_EQ(count(), "No matches");

    // Highlighting is no edit: nothing is changed, nothing written.
    EXPECT_FALSE(form->Edited);
    tick();
    EXPECT_EQ(readFile(bufferDir() / "Apples"), before);

    QTest::keyClick(form->FindBar1->FindText, Qt::Key_Escape);
    EXPECT_FALSE(form->FindBar1->isVisible());
    EXPECT_TRUE(form->RE->extraSelections().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), form->RE);
}

TEST_F(Find, FunctionKeysStillCopyWhileTheFindBarOrTheSearchFieldHasTheFocus)
{
    form->EnableFunctionKeyCopy->setChecked(true);
    form->Find1Click(form->Find1);
    QTest::keyClick(form->FindBar1->FindText, Qt::Key_F2);
    EXPECT_EQ(selected(), "Bananas");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Yellow fruit.");

    search(QStringLiteral("red"), 2);
    QTest::keyClick(form->SearchBox, Qt::Key_F4); // the fourth of the whole list, not of the results
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Sweet and brown.");
}

TEST_F(Find, TheSearchIsAViewOverTheListAndEscapeBringsTheListBack)
{
    search(QStringLiteral("FRUIT"), 2);
    EXPECT_EQ(form->SearchCount->text().toStdString(), "2 items found");
    search(QStringLiteral("fruit orch"), 1); // every word, the last as a prefix
    EXPECT_EQ(found(), std::vector<std::string>{"Cherries"});
    search(QStringLiteral("red"), 2);
    EXPECT_EQ(form->SearchList->item(0)->text().toStdString(), "Apples"); // in its title and twice
    EXPECT_EQ(form->LB->dragDropMode(), QAbstractItemView::NoDragDrop);

    // Ctrl+F3 steps through the rows shown, each through the item switch.
    form->HotkeyPressed(kNextItemHotkey);
    EXPECT_EQ(form->CurrentItem, u"Cherries");
    EXPECT_EQ(selected(), "Cherries");
    EXPECT_TRUE(form->FindBar1->isVisible()); // the words highlighted in the page opened
    EXPECT_EQ(selection(), "Red");
    form->HotkeyPressed(kPreviousItemHotkey);
    EXPECT_EQ(form->CurrentItem, u"Apples");

    // The list never changed under the search: order, stamps, files.
    EXPECT_EQ(entries(), entriesInOrder);
    form->SearchBox->setFocus();
    QTest::keyClick(form->SearchBox, Qt::Key_Escape);
    EXPECT_FALSE(form->searchShown());
    EXPECT_TRUE(form->SearchBox->text().isEmpty());
    EXPECT_EQ(selected(), "Apples");
    EXPECT_EQ(form->LB->dragDropMode(), QAbstractItemView::DragDrop);
    form->Reload1Click();
    EXPECT_EQ(entries(), entriesInOrder);
}

TEST_F(Find, ASearchFindsWhatWasTypedSinceAndOpensByEnter)
{
    form->RE->setFocus();
    type(QStringLiteral(" Quinces too."));
    search(QStringLiteral("quince"), 1);
    EXPECT_EQ(found(), std::vector<std::string>{"Apples"});
    // A page changed by another program's hand, then an item command.
    writeFile(bufferDir() / "Dates", "Quince paste.");
    form->FixIt(TForm1::kStampOnly);
    form->SearchBox->clear();
    search(QStringLiteral("quince"), 2);
    const auto rows = found();
    form->SearchList->setCurrentRow(static_cast<int>(std::find(rows.begin(), rows.end(), "Dates") - rows.begin()));
    form->SearchList->setFocus();
    QTest::keyClick(form->SearchList, Qt::Key_Return);
    EXPECT_EQ(form->CurrentItem, u"Dates");
    EXPECT_EQ(form->FindBar1->FindText->text().toStdString(), "quince");
    // An empty field is the whole list again, with the item now shown selected.
    form->SearchBox->clear();
    EXPECT_FALSE(form->searchShown());
    EXPECT_EQ(selected(), "Dates");
}

TEST_F(Find, HelpModeExplainsTheCommands)
{
    form->SpeedButton9Click(form->SpeedButton9);
    desktop.expectInfo();
    desktop.expectInfo();
    form->Find1Click(form->Find1);
    form->SearchPages1Click(form->SearchPages1);
    const auto texts = desktop.texts(ScriptedDesktop::Kind::Info);
    ASSERT_EQ(texts.size(), 2U);
    EXPECT_EQ(texts[0].substr(0, 6), u"Find..");
    EXPECT_EQ(texts[1].substr(0, 18), u"Search All Pages..");
    EXPECT_FALSE(form->FindBar1->isVisible());
}

} // namespace
} // namespace quillory::test
