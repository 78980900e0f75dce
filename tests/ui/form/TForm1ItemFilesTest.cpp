#include "ui/form/ItemsFixture.h"

#include <sys/stat.h>

#include <QAction>
#include <QMenu>

using namespace quillory;
using namespace quillory::test;

namespace {
using ItemFiles = ItemsFixture;
using Kind = ScriptedDesktop::Kind;

const std::u16string kDialogOptions = u"Text File|*.txt|Rich Text File|*.rtf|Anything|*.*\ntxt";
} // namespace

TEST_F(ItemFiles, AddFromFileKeepsTheTypedTextOfThePageShown)
{
    writeFile(home / "in" / "import.txt", "imported text");
    type(QStringLiteral(" typed"));
    desktop.expectOpenFile(home / "in" / "import.txt");
    desktop.expectPrompt(u"New");
    form->AddItemfromFile1Click(form->AddItemfromFile1);
    const auto& dialog = desktop.shown.at(0);
    EXPECT_EQ(dialog.text, u"Add a new item from a file.");
    EXPECT_EQ(dialog.extra, home.path().u16string() + u"/"); // beside the project, at first
    EXPECT_EQ(dialog.options, kDialogOptions);
    EXPECT_EQ(desktop.shown.at(1).extra, u"Give this new item a title.|");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C", "New"}));
    EXPECT_EQ(selected(), "New");
    EXPECT_EQ(page(), "imported text");
    EXPECT_NE(readFile(bufferDir() / "A").find("page A typed"), std::string::npos);
    EXPECT_EQ(readFile(project / "New").rfind("{\\rtf", 0), 0u);
    EXPECT_NE(readFile(project / "New").find("imported text"), std::string::npos);
    EXPECT_EQ(readFile(bufferDir() / "New"), readFile(project / "New"));
    EXPECT_TRUE(form->Edited);
    EXPECT_EQ(form->LastFileDir, home.path().u16string() + u"/"); // not the folder the file came from
}

TEST_F(ItemFiles, AddFromFileAsksAgainWhileTheTitleIsTaken)
{
    writeFile(home / "import.txt", "imported");
    desktop.expectOpenFile(home / "import.txt");
    desktop.expectPrompt(u"B");
    desktop.expectPrompt(u"c");
    desktop.expectPrompt(u"");
    form->AddItemfromFile1Click(form->AddItemfromFile1);
    EXPECT_EQ(desktop.shown.at(2).extra, u"Title aldready exists. Try again..|B");
    EXPECT_EQ(desktop.shown.at(3).extra, u"Title aldready exists. Try again..|c");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));

    desktop.expectOpenFile(home / "import.txt");
    desktop.expectPrompt(u"A");
    desktop.expectPrompt(u"Fresh");
    form->AddItemfromFile1Click(form->AddItemfromFile1);
    EXPECT_EQ(entries().back(), "Fresh");
    EXPECT_EQ(page(), "imported");
}

TEST_F(ItemFiles, AddFromFileThatFailsLeavesThePageShownAndNothingNew)
{
    type(QStringLiteral(" typed"));
    desktop.expectOpenFile(home / "vanished.txt");
    desktop.expectPrompt(u"New");
    desktop.expectError();
    form->AddItemfromFile1Click(form->AddItemfromFile1);
    EXPECT_NE(desktop.texts(Kind::Error).back().find(u"vanished.txt"), std::u16string::npos);

    // The project folder goes away after the page shown was written.
    writeFile(home / "import.txt", "imported");
    fs::rename(project, home / "Moved.qlyp.dir");
    desktop.expectOpenFile(home / "import.txt");
    desktop.expectPrompt(u"New");
    desktop.expectError();
    form->AddItemfromFile1Click(form->AddItemfromFile1);
    EXPECT_EQ(form->CurrentItem, u"A");
    EXPECT_EQ(page(), "page A typed");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_FALSE(fs::exists(bufferDir() / "New"));
    EXPECT_FALSE(fs::exists(home / "Moved.qlyp.dir" / "New"));
}

TEST_F(ItemFiles, DropsOfTheSameFileAreNumberedAndOnlyTheFirstFileOfADropCounts)
{
    writeFile(home / "notes.txt", "dropped notes");
    writeFile(home / "second.txt", "second");
    writeFile(home / "third.txt", "third");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(drop({home / "notes.txt"}), Qt::CopyAction);
    EXPECT_EQ(drop({home / "second.txt", home / "notes.txt", home / "third.txt"}, Qt::LinkAction), Qt::LinkAction);
    EXPECT_EQ(entries(),
              (std::vector<std::string>{"A", "B", "C", "notes.txt", "notes.txt.1", "notes.txt.2", "second.txt"}));
    EXPECT_EQ(readFile(bufferDir() / "second.txt"), "second"); // byte for byte, until it is written back
    EXPECT_FALSE(fs::exists(bufferDir() / "third.txt"));
    EXPECT_FALSE(fs::exists(project / "notes.txt")); // until the next save
    EXPECT_EQ(selected(), "second.txt");
    EXPECT_EQ(page(), "second");
    EXPECT_TRUE(form->Edited);
}

TEST_F(ItemFiles, AMoveDropIsReportedAsNothingDoneAndTheSourceKeepsItsFile)
{
    writeFile(home / "moved.txt", "moved text");
    EXPECT_EQ(drop({home / "moved.txt"}, Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(readFile(home / "moved.txt"), "moved text");
    EXPECT_EQ(readFile(bufferDir() / "moved.txt"), "moved text");
    EXPECT_EQ(entries().back(), "moved.txt");
}

TEST_F(ItemFiles, ADroppedFolderOrUnreadableFileAddsNoEntry)
{
    fs::create_directories(home / "folder");
    desktop.expectInfo();
    EXPECT_EQ(drop({home / "folder"}), Qt::IgnoreAction);
    EXPECT_EQ(desktop.texts(Kind::Info).back(), (home / "folder").u16string() + u"\n\nis a folder. Only a file can "
                                                                                u"become an item.");
    desktop.expectError();
    EXPECT_EQ(drop({home / "gone.txt"}), Qt::IgnoreAction);
    writeFile(home / ".hidden", "x");
    desktop.expectInfo();
    EXPECT_EQ(drop({home / ".hidden"}), Qt::IgnoreAction);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(bufferDir()), fs::directory_iterator()), 3);
    EXPECT_FALSE(form->Edited);
}

// A pipe would block the program for ever when opened for reading; a device may never end.
TEST_F(ItemFiles, APipeOrDeviceIsRefusedWithoutBeingRead)
{
    const fs::path pipe = home / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const fs::path& special : {pipe, fs::path("/dev/zero")}) {
        SCOPED_TRACE(special.string());
        desktop.expectInfo();
        EXPECT_EQ(drop({special}), Qt::IgnoreAction);
        EXPECT_EQ(desktop.texts(Kind::Info).back(), special.u16string() + u"\n\nis not a regular file (a pipe, a "
                                                                          u"device or a socket). Only a file can "
                                                                          u"become an item.");
    }
    desktop.expectOpenFile(pipe);
    desktop.expectInfo();
    form->AddItemfromFile1Click(form->AddItemfromFile1);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(ItemFiles, AFileAbove64MegabytesAsksFirst)
{
    const fs::path large = home / "large.log";
    {
        std::ofstream(large, std::ios::binary) << "start";
    }
    fs::resize_file(large, (64U << 20) + 1); // sparse: nothing is written
    desktop.expectConfirm(Answer::No);
    EXPECT_EQ(drop({large}), Qt::IgnoreAction);
    EXPECT_NE(desktop.texts(Kind::Confirm).back().find(u"large.log\n\nholds 65 MB."), std::u16string::npos);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(ItemFiles, SaveItemWritesRtfForDotRtfAndPlainTextOtherwise)
{
    type(QStringLiteral("\nsecond line"));
    const fs::path out = home / "out";
    fs::create_directories(out);
    const std::vector<std::pair<std::string, bool>> cases{
        {"page.RTF", true}, {"page.rtf", true}, {"page.txt", false}, {"page", false}};
    for (const auto& [name, rtf] : cases) {
        desktop.expectSaveFile(out / name);
        form->SaveItem1Click(form->SaveItem1);
        const std::string bytes = readFile(out / name);
        if (rtf)
            EXPECT_EQ(bytes.rfind("{\\rtf", 0), 0u) << name;
        else
            EXPECT_EQ(bytes, "page A\r\nsecond line\r\n") << name;
    }
    EXPECT_EQ(desktop.shown.at(0).text, u"Save this item as a file.");
    EXPECT_EQ(desktop.shown.at(0).options, kDialogOptions);
    EXPECT_EQ(form->LastFileDir, out.u16string() + u"/");
    EXPECT_EQ(desktop.shown.back().extra, out.u16string() + u"/A"); // the item's name offered in it
    EXPECT_FALSE(fs::exists(project / "page.txt"));
}

TEST_F(ItemFiles, SaveItemOverAnExistingFileAsksFirst)
{
    writeFile(home / "kept.txt", "kept");
    desktop.expectSaveFile(home / "kept.txt");
    desktop.expectConfirm(Answer::No);
    form->SaveItem1Click(form->SaveItem1);
    EXPECT_EQ(desktop.texts(Kind::Confirm).back(), u"File already exists.\n\nOverwrite?");
    EXPECT_EQ(readFile(home / "kept.txt"), "kept");
    desktop.expectSaveFile(home / "kept.txt");
    desktop.expectConfirm(Answer::Yes);
    form->SaveItem1Click(form->SaveItem1);
    EXPECT_EQ(readFile(home / "kept.txt"), "page A\r\n");

    desktop.expectSaveFile(home / "missing" / "x.txt");
    desktop.expectError();
    form->SaveItem1Click(form->SaveItem1);
    EXPECT_EQ(form->LastFileDir, home.path().u16string() + u"/");
}

TEST_F(ItemFiles, PlainTextFollowsTheEditorsLineBreaks)
{
    form->RE->setLineWrapMode(QTextEdit::FixedPixelWidth);
    form->RE->setLineWrapColumnOrWidth(120);
    type(QStringLiteral(" and a paragraph far too long to stay on one line of a narrow page"));
    desktop.expectSaveFile(home / "wrapped.txt");
    form->SaveItem1Click(form->SaveItem1);
    const std::string bytes = readFile(home / "wrapped.txt");
    EXPECT_GT(std::count(bytes.begin(), bytes.end(), '\n'), 2);
    std::string joined = bytes;
    std::erase(joined, '\r');
    std::erase(joined, '\n');
    EXPECT_EQ(joined, "page A and a paragraph far too long to stay on one line of a narrow page");
}

TEST_F(ItemFiles, TheEditorsContextMenuLeadsWithTheTwoItemCommands)
{
    const QList<QAction*> actions = form->PopupMenu->actions();
    ASSERT_GE(actions.size(), 3);
    EXPECT_EQ(actions[0], form->SaveItem1);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&Save Item as File"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("A&dd Item from File"));
    EXPECT_TRUE(actions[2]->isSeparator());
    desktop.expectSaveFile(std::nullopt);
    form->SaveItem1->trigger();
    desktop.expectOpenFile(std::nullopt);
    form->AddItemfromFile1->trigger();
    EXPECT_EQ(desktop.shown.size(), 2u);
}
