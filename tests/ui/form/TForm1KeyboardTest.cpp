#include "support/FormFixture.h"

#include "core/store/ProjectStore.h"
#include "core/text/HotkeyNames.h"
#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QContextMenuEvent>
#include <QTest>

using namespace quillory;
using namespace quillory::test;

namespace {

class Keyboard : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("K.qlyp.dir", {"One", "Two", "Three", "Four"});
        other = makeProject("Other.qlyp.dir", {"Elsewhere"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Two"});
        writeFile(dataDir() / "Recent", project.string() + "\r\n" + other.string() + "\r\n");
        start();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The page of an item as the project holds it.
    [[nodiscard]] std::string pageOf(const std::string& item) const { return readFile(bufferDir() / item); }
    [[nodiscard]] QWidget* focused() const { return QApplication::focusWidget(); }

    fs::path project;
    fs::path other;
};

} // namespace

TEST_F(Keyboard, EveryMenuAndEntryHasAMnemonicOfItsOwnWithinItsMenu)
{
    struct Menu {
        const char* name;
        QList<QAction*> entries;
    };
    const Menu menus[] = {
        {"menu bar", form->menuBar()->actions()},  {"File", form->FileMenu->actions()},
        {"List", form->ListMenu->actions()},       {"Options", form->OptionsMenu->actions()},
        {"Content", form->ContentMenu->actions()}, {"page", form->PopupMenu->actions()},
        {"tray", form->TrayMenu->actions()},       {"recent", form->RecentPop->actions()},
    };
    for (const Menu& menu : menus) {
        QSet<QString> letters;
        for (const QAction* entry : menu.entries) {
            if (entry->isSeparator())
                continue;
            SCOPED_TRACE(testing::Message() << menu.name << ": " << entry->text().toStdString());
            const QKeySequence mnemonic = QKeySequence::mnemonic(entry->text());
            ASSERT_FALSE(mnemonic.isEmpty());
            EXPECT_EQ(entry->text().count(QLatin1Char('&')), 1);
            EXPECT_FALSE(letters.contains(mnemonic.toString())) << "the letter is taken in this menu";
            letters.insert(mnemonic.toString());
        }
    }
}

TEST_F(Keyboard, TheStartLeavesTheKeysWithThePage)
{
    EXPECT_EQ(focused(), form->RE);
}

TEST_F(Keyboard, F10AndAltWithALetterOpenTheMenusAndTypeNothing)
{
    QTest::keyClick(form.get(), Qt::Key_F10);
    EXPECT_EQ(form->menuBar()->activeAction(), form->FileMenu->menuAction());
    EXPECT_TRUE(form->FileMenu->isVisible());
    form->FileMenu->hide();

    form->RE->setFocus();
    const std::string before = page();
    QTest::keyClick(form->RE, Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(form->ListMenu->isVisible());
    form->ListMenu->hide();
    EXPECT_EQ(page(), before);
}

TEST_F(Keyboard, TheListsArrowsKeepItsFocusWhileThePageFollows)
{
    form->LB->setFocus();
    const struct {
        Qt::Key key;
        const char* item;
    } steps[] = {{Qt::Key_Down, "Three"}, {Qt::Key_Down, "Four"}, {Qt::Key_Up, "Three"}, {Qt::Key_Home, "One"}};
    for (const auto& step : steps) {
        QTest::keyClick(form->LB, step.key);
        EXPECT_EQ(selected(), step.item);
        EXPECT_EQ(page(), pageOf(step.item));
        EXPECT_EQ(focused(), form->LB) << "after the step to " << step.item;
    }
    // Enter or Ctrl+Tab goes on to the page.
    QTest::keyClick(form->LB, Qt::Key_Return);
    EXPECT_EQ(focused(), form->RE);
    form->LB->setFocus();
    QTest::keyClick(form->LB, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(focused(), form->RE);
    // A click and a hotkey still give the page the keys, as the item switch always did.
    form->LB->setFocus();
    QTest::mouseClick(form->LB->viewport(), Qt::LeftButton, {}, form->LB->visualItemRect(form->LB->item(1)).center());
    EXPECT_EQ(selected(), "Two");
    EXPECT_EQ(focused(), form->RE);
    form->LB->setFocus();
    form->HotkeyPressed(kNextItemHotkey);
    EXPECT_EQ(selected(), "Three");
    EXPECT_EQ(focused(), form->RE);
}

TEST_F(Keyboard, TabTypesATabInThePageAndCtrlTabLeavesIt)
{
    form->RE->setFocus();
    form->RE->moveCursor(QTextCursor::End);
    QTest::keyClick(form->RE, Qt::Key_Tab);
    EXPECT_EQ(page(), pageOf("Two") + "\t");
    EXPECT_EQ(focused(), form->RE);
    QTest::keyClick(form->RE, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_NE(focused(), form->RE);
    EXPECT_EQ(page(), pageOf("Two") + "\t");
    form->RE->setFocus();
    QTest::keyClick(form->RE, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(focused(), form->RE);
    EXPECT_FALSE(form->RE->accessibleDescription().isEmpty()) << "a screen reader says how to leave";
}

TEST_F(Keyboard, AltUpAndAltDownReorderTheListAsADragDoes)
{
    form->LB->setFocus();
    QTest::keyClick(form->LB, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(entries(), (std::vector<std::string>{"One", "Three", "Two", "Four"}));
    EXPECT_EQ(selected(), "Two");
    EXPECT_TRUE(form->Edited);
    // The buffer's stamps carry the new order.
    std::vector<std::string> stamped;
    for (const std::u16string& name : store::OrderedNames(bufferDir()))
        stamped.push_back(fs::path(name).string());
    EXPECT_EQ(stamped, entries());

    for (int i = 0; i < 3; ++i) // the last press finds it at the top already
        QTest::keyClick(form->LB, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Two", "One", "Three", "Four"}));
    EXPECT_EQ(focused(), form->LB);

    // In help mode the menu's command explains itself.
    form->SpeedButton9->click();
    desktop.expectInfo();
    form->MoveItemDown1->trigger();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info).back(), help::kMoveItem);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Two", "One", "Three", "Four"}));
}

TEST_F(Keyboard, EnterOnARecentProjectOpensIt)
{
    form->OpenRecent->setFocus();
    form->OpenRecent->setCurrentRow(1);
    QTest::keyClick(form->OpenRecent, Qt::Key_Return);
    EXPECT_EQ(fs::path(form->ProjectPath), other);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Elsewhere"}));
}

TEST_F(Keyboard, TheMenuKeyOpensThePagesAndTheRecentListsMenus)
{
    const struct {
        QWidget* control;
        QMenu* menu;
    } cases[] = {{form->RE, form->PopupMenu}, {form->OpenRecent, form->RecentPop}};
    for (const auto& c : cases) {
        c.control->setFocus();
        // What the window system makes of the Menu key (offscreen has none to make it): a
        // keyboard context menu event at the focused control's cursor.
        const QPoint at = c.control->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, at, c.control->mapToGlobal(at));
        QApplication::sendEvent(c.control, &menuKey);
        EXPECT_TRUE(c.menu->isVisible()) << c.menu->objectName().toStdString();
        // Near the control, not wherever the mouse was.
        EXPECT_TRUE(c.control->window()->frameGeometry().adjusted(-5, -5, 5, 5).contains(c.menu->pos()));
        c.menu->hide();
    }
}
