#include "ui/form/ItemsFixture.h"

#include <QAction>
#include <QToolButton>

using namespace quillory;
using namespace quillory::test;

namespace {
using Items = ItemsFixture;
using Kind = ScriptedDesktop::Kind;
} // namespace

TEST_F(Items, AddItemAppendsAnEmptyItemInBothFoldersAndShowsIt)
{
    type(QStringLiteral(" typed"));
    desktop.expectPrompt(u"Notes");
    form->AddItem1Click(form->AddItem2);
    EXPECT_EQ(desktop.shown.at(0).extra, u"Item name.|");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C", "Notes"}));
    EXPECT_EQ(selected(), "Notes");
    EXPECT_EQ(page(), "");
    EXPECT_EQ(fs::file_size(project / "Notes"), 0u);
    EXPECT_EQ(fs::file_size(bufferDir() / "Notes"), 0u);
    EXPECT_NE(readFile(bufferDir() / "A").find("typed"), std::string::npos);
    EXPECT_EQ(stampedOrder(), (std::vector<std::string>{"A", "B", "C", "Notes"}));
    EXPECT_TRUE(form->Edited);
}

TEST_F(Items, AddItemCancelledOrEmptyChangesNothing)
{
    desktop.expectPrompt(std::nullopt);
    form->AddItem1Click(form->SpeedButton3);
    desktop.expectPrompt(u"");
    form->AddItem1Click(form->SpeedButton3);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(project), fs::directory_iterator()), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(bufferDir()), fs::directory_iterator()), 3);
    EXPECT_FALSE(form->Edited);
}

TEST_F(Items, AddItemOfANameInUseAnywhereIsRefused)
{
    writeFile(home / "Notes", "dropped text");
    ASSERT_EQ(drop({home / "Notes"}), Qt::CopyAction); // unsaved: only in the buffer
    writeFile(project / "stray", "a file the list does not show");
    form->Edited = false;
    for (const std::u16string name : {u"Notes", u"b", u"Stray"}) {
        desktop.expectPrompt(name);
        desktop.expectInfo();
        form->AddItem1Click(form->AddItem2);
        EXPECT_EQ(desktop.texts(Kind::Info).back(), u"Item already exists..");
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C", "Notes"}));
    EXPECT_EQ(page(), "dropped text");
    EXPECT_EQ(readFile(bufferDir() / "Notes"), "dropped text");
    EXPECT_FALSE(fs::exists(project / "Notes"));
    EXPECT_EQ(readFile(project / "stray"), "a file the list does not show");
    EXPECT_FALSE(form->Edited);
}

TEST_F(Items, NamesThatCannotBeFilesAreRefusedBeforeAnythingChanges)
{
    const std::vector<std::u16string> names{u"a/b",     u" leading",  u"trailing ",
                                            u".hidden", u"tab\there", std::u16string(201, u'n')};
    for (const auto& name : names) {
        desktop.expectPrompt(name);
        desktop.expectInfo();
        form->AddItem1Click(form->AddItem2);
        desktop.expectPrompt(name);
        desktop.expectInfo();
        form->RenameItem1Click(form->RenameItem1);
    }
    EXPECT_EQ(desktop.texts(Kind::Info).size(), 2 * names.size());
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(form->CurrentItem, u"A");
    EXPECT_EQ(std::distance(fs::directory_iterator(project), fs::directory_iterator()), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(bufferDir()), fs::directory_iterator()), 3);
}

TEST_F(Items, DeleteTrashesTheProjectFileAndShowsTheFirstItem)
{
    click(1);
    type(QStringLiteral(" unsaved"));
    desktop.expectConfirm(Answer::Yes);
    form->DeleteItem1Click(form->DeleteItem2);
    EXPECT_EQ(desktop.texts(Kind::Confirm).at(0), u"Delete this Item?\n\nB");
    EXPECT_EQ(desktop.shown.at(0).extra, u"YesNo");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(selected(), "A");
    EXPECT_EQ(form->CurrentItem, u"A");
    EXPECT_EQ(page(), "page A");
    EXPECT_FALSE(fs::exists(project / "B"));
    EXPECT_FALSE(fs::exists(bufferDir() / "B"));
    EXPECT_EQ(readFile(desktop.trash / "B"), "page B"); // the saved page, restorable
    EXPECT_EQ(stampedOrder(), (std::vector<std::string>{"A", "C"}));
    EXPECT_TRUE(form->Edited);
}

TEST_F(Items, DeleteOfAnUnsavedItemTrashesItsOnlyCopyAndWithoutATrashDeletes)
{
    writeFile(home / "dropped.txt", "only here");
    drop({home / "dropped.txt"});
    desktop.expectConfirm(Answer::Yes);
    form->DeleteItem1Click(form->SpeedButton4);
    EXPECT_EQ(readFile(desktop.trash / "dropped.txt"), "only here");
    EXPECT_FALSE(fs::exists(bufferDir() / "dropped.txt"));

    desktop.trash.clear();
    desktop.expectConfirm(Answer::Yes);
    form->DeleteItem1Click(form->SpeedButton4); // A, shown after the last delete
    EXPECT_FALSE(fs::exists(project / "A"));
    EXPECT_FALSE(fs::exists(bufferDir() / "A"));
    EXPECT_EQ(entries(), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(page(), "page B");
}

TEST_F(Items, DeleteRefusesTheLastItemAndNoChangesNothing)
{
    desktop.expectConfirm(Answer::No);
    form->DeleteItem1Click(form->DeleteItem2);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(fs::exists(project / "A"));
    EXPECT_FALSE(form->Edited);
    for (int i = 0; i < 2; ++i) {
        desktop.expectConfirm(Answer::Yes);
        form->DeleteItem1Click(form->DeleteItem2);
    }
    ASSERT_EQ(entries(), std::vector<std::string>{"C"});
    desktop.expectInfo();
    form->DeleteItem1Click(form->DeleteItem2);
    EXPECT_EQ(desktop.texts(Kind::Info).back(), u"Cannot delete the last item.");
    EXPECT_TRUE(fs::exists(project / "C"));
}

TEST_F(Items, ASwitchWhileTheQuestionIsOpenNeverRedirectsTheCommand)
{
    type(QStringLiteral(" typed into A"));
    desktop.expectConfirm(Answer::Yes, [this] { click(2); }); // a reminder shows C meanwhile
    form->DeleteItem1Click(form->DeleteItem2);
    EXPECT_EQ(entries(), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(form->CurrentItem, u"C");
    EXPECT_EQ(selected(), "C");
    EXPECT_EQ(page(), "page C");
    EXPECT_TRUE(fs::exists(bufferDir() / "C"));

    desktop.expectPrompt(u"Renamed", [this] { click(0); }); // the prompt named C; B is shown meanwhile
    form->RenameItem1Click(form->RenameItem1);
    EXPECT_EQ(entries(), (std::vector<std::string>{"B", "Renamed"}));
    EXPECT_EQ(form->CurrentItem, u"B");
    EXPECT_EQ(page(), "page B");
    EXPECT_EQ(readFile(project / "Renamed"), "page C");
    EXPECT_NE(readFile(bufferDir() / "Renamed").find("page C"), std::string::npos);
}

TEST_F(Items, RenameRefusesANameInUseAlsoItsOwnInAnotherCase)
{
    writeFile(project / "stray", "x");
    for (const std::u16string name : {u"a", u"A", u"c", u"STRAY"}) {
        desktop.expectPrompt(name);
        desktop.expectInfo();
        form->RenameItem1Click(form->SpeedButton5);
        EXPECT_EQ(desktop.texts(Kind::Info).back(), u"Item name is already in use.");
    }
    EXPECT_EQ(desktop.shown.at(0).extra, u"Give this item a new name.|A");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(form->CurrentItem, u"A");
}

TEST_F(Items, RenameMovesBothFilesAndTheItemKeepsItsPlaceAfterSaveAndReopening)
{
    click(1);
    type(QStringLiteral(" typed"));
    form->Edited = false;
    const auto stamp = fs::last_write_time(bufferDir() / "B");
    desktop.expectPrompt(u"Beta");
    form->RenameItem1Click(form->RenameItem1);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "Beta", "C"}));
    EXPECT_EQ(selected(), "Beta");
    EXPECT_EQ(form->CurrentItem, u"Beta");
    EXPECT_FALSE(fs::exists(bufferDir() / "B"));
    EXPECT_FALSE(fs::exists(project / "B"));
    EXPECT_EQ(readFile(project / "Beta"), "page B");
    EXPECT_EQ(fs::last_write_time(bufferDir() / "Beta"), stamp);
    EXPECT_FALSE(form->Edited);

    form->SaveProject1Click(form.get());
    EXPECT_NE(readFile(project / "Beta").find("typed"), std::string::npos);
    desktop.expectFolder(project);
    form->SaveProjectAs1Click(form->OpenProject);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "Beta", "C"}));
}

TEST_F(Items, RenameOfAnItemNotSavedYetRenamesItsBufferFileOnly)
{
    writeFile(home / "new.txt", "dropped");
    drop({home / "new.txt"});
    desktop.expectPrompt(u"Kept");
    form->RenameItem1Click(form->RenameItem1);
    EXPECT_EQ(readFile(bufferDir() / "Kept"), "dropped");
    EXPECT_FALSE(fs::exists(project / "Kept"));
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C", "Kept"}));
}

TEST_F(Items, HelpModeExplainsTheCommandsFromTheirOwnControls)
{
    form->SpeedButton9Click(form->SpeedButton9);
    const std::u16string add = u"Add Item..\n\nAdds a new item to your project which will appear in the list on "
                               u"the left.\n\nList items can be relocated by simply moving them up or down by "
                               u"dragging them with the mouse.";
    const std::u16string del = u"Delete Item..\n\nRemoves the selected item from your project.\n\nThis will not be "
                               u"permanent until you `Save your Changes`";
    const std::u16string ren = u"Rename Item..\n\nRename the selected item, simple as that :)";
    const std::vector<std::pair<std::function<void()>, std::u16string>> cases{
        {[this] { form->AddItem1Click(form->AddItem2); }, add},
        {[this] { form->DeleteItem1Click(form->SpeedButton4); }, del},
        {[this] { form->RenameItem1Click(form->SpeedButton5); }, ren},
    };
    for (const auto& [command, text] : cases) {
        desktop.expectInfo();
        command();
        EXPECT_EQ(desktop.texts(Kind::Info).back(), text);
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    desktop.expectPrompt(u"Inside");
    form->AddItem1Click(form.get()); // an internal call acts
    EXPECT_EQ(entries().back(), "Inside");
}
