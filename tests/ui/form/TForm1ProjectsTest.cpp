#include "support/FormFixture.h"

#include "core/store/OrderStamp.h"

#include <QAction>
#include <QToolButton>

using namespace quillory;
using namespace quillory::test;

namespace {

class Projects : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("Start.qlyp.dir", {"C", "A", "B"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"A"});
        start();
        tick(); // puts the project into the recent list
    }
    [[nodiscard]] std::vector<std::string> recent() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < form->OpenRecent->count(); ++i)
            out.push_back(form->OpenRecent->item(i)->text().toStdString());
        return out;
    }
    fs::path project;
};

} // namespace

TEST_F(Projects, SaveCopiesEveryBufferFileWithItsStampAndLeavesExtrasAlone)
{
    writeFile(project / ".keep-me", "x");
    writeFile(project / "Extra", "not in the buffer");
    fs::remove(bufferDir() / "Extra");
    type(QStringLiteral(" more"));
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_FALSE(form->Edited);
    EXPECT_NE(readFile(project / "A").find("more"), std::string::npos);
    EXPECT_EQ(fs::last_write_time(project / "C"), store::OrderStamp(0));
    EXPECT_EQ(fs::last_write_time(project / "B"), store::OrderStamp(2));
    EXPECT_EQ(readFile(project / "Extra"), "not in the buffer");
}

TEST_F(Projects, SaveIntoAVanishedFolderIsReportedAndStaysEdited)
{
    fs::remove_all(project);
    form->Edited = true;
    desktop.expectError();
    form->SaveProject1Click(form->SpeedButton1);
    EXPECT_TRUE(form->Edited);
}

TEST_F(Projects, OpenProjectTestsThePathForTheExtension)
{
    const fs::path upper = makeProject("Archive.QLYP.DIR", {"Z", "Y"});
    desktop.expectFolder(upper);
    form->SaveProjectAs1Click(form->OpenProject);
    EXPECT_EQ(form->ProjectPath, upper.u16string());
    EXPECT_EQ(entries(), (std::vector<std::string>{"Z", "Y"}));
    EXPECT_EQ(selected(), "Y"); // first by name
    EXPECT_EQ(page(), "page Y");

    const fs::path sub = home / "Notes.qlyp.dir" / "inner";
    makeProject("inner", {"I"}, home / "Notes.qlyp.dir");
    desktop.expectFolder(sub);
    form->SaveProjectAs1Click(form->SpeedButton2);
    EXPECT_EQ(form->ProjectPath, sub.u16string());

    const fs::path plain = makeProject("Archive", {"Q"});
    desktop.expectFolder(plain);
    desktop.expectInfo();
    form->SaveProjectAs1Click(form->OpenProject);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info).back(), u"Not a Quillory Project Folder.");
    EXPECT_EQ(form->ProjectPath, sub.u16string());
}

TEST_F(Projects, TheFolderBrowserStartsBesideTheOpenProjectAndIsTitledWithTheCommand)
{
    desktop.expectFolder(std::nullopt);
    form->SaveProjectAs1Click(form->OpenProject);
    ASSERT_EQ(desktop.shown.size(), 1u);
    EXPECT_EQ(desktop.shown[0].text, u"Open Project: Select a .qlyp.dir folder.\n\nFor example, mystuff.qlyp.dir");
    EXPECT_EQ(desktop.shown[0].extra, home.path().u16string() + u"/");
}

TEST_F(Projects, OpenAsksToSaveFirstAndCancelStops)
{
    form->Edited = true;
    desktop.expectConfirm(Answer::Cancel);
    form->SaveProjectAs1Click(form->OpenProject);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).at(0), u"Contents have been changed.\n\nSave now? ");
    EXPECT_TRUE(form->Edited);
    EXPECT_EQ(form->ProjectPath, project.u16string());

    form->Autosave->setChecked(true);
    type(QStringLiteral(" autosaved"));
    desktop.expectFolder(std::nullopt); // Autosave saves without asking
    form->SaveProjectAs1Click(form->OpenProject);
    EXPECT_FALSE(form->Edited);
    EXPECT_NE(readFile(project / "A").find("autosaved"), std::string::npos);
}

TEST_F(Projects, AnEmptyProjectFolderGetsOneEmptyWibble)
{
    const fs::path empty = home / "Empty.qlyp.dir";
    fs::create_directories(empty);
    desktop.expectFolder(empty);
    form->SaveProjectAs1Click(form->OpenProject);
    EXPECT_EQ(entries(), std::vector<std::string>{"Wibble"});
    EXPECT_TRUE(fs::exists(empty / "Wibble"));
    EXPECT_TRUE(fs::exists(bufferDir() / "Wibble"));
    EXPECT_EQ(page(), "");
}

TEST_F(Projects, NewProjectNamesTheFolderByTheRule)
{
    const fs::path d = home / "D";
    fs::create_directories(d);
    const std::vector<std::pair<std::u16string, std::string>> cases{{u"Notes", "Notes.qlyp.dir"},
                                                                    {u"Work.qlyp.dir", "Work.qlyp.dir"},
                                                                    {u"Misc"
                                                                     u"qlyp.dir",
                                                                     "Miscqlyp.dir"}};
    for (const auto& [typed, folder] : cases) {
        desktop.expectFolder(d);
        desktop.expectPrompt(typed);
        form->SaveProjectAs1Click(form->NewProject);
        EXPECT_EQ(form->ProjectPath, (d / folder).u16string());
        EXPECT_TRUE(fs::exists(d / folder / "Wibble"));
    }
    EXPECT_EQ(entries(), std::vector<std::string>{"Wibble"});
    EXPECT_EQ(selected(), ""); // left unselected
    EXPECT_TRUE(fs::exists(bufferDir() / "Wibble"));
    EXPECT_FALSE(fs::exists(bufferDir() / "A"));
    EXPECT_EQ(page(), "");
    EXPECT_FALSE(form->Edited);
    const auto prompt = desktop.texts(ScriptedDesktop::Kind::Prompt);
    EXPECT_EQ(prompt.at(0), u"Project Name.");
}

TEST_F(Projects, NewProjectRefusesAnExistingFolderAndBadNames)
{
    const fs::path d = home / "D";
    fs::create_directories(d / "Notes.qlyp.dir");
    for (const std::u16string typed : {u"Notes", u"Notes.qlyp.dir"}) {
        desktop.expectFolder(d);
        desktop.expectPrompt(typed);
        desktop.expectInfo();
        form->SaveProjectAs1Click(form->NewProject);
        EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info).back(),
                  (d / "Notes.qlyp.dir").u16string() + u"\n\nAlready exists.");
    }
    for (const std::u16string typed : {u"a/b", u"..", u"   "}) {
        desktop.expectFolder(d);
        desktop.expectPrompt(typed);
        desktop.expectInfo();
        form->SaveProjectAs1Click(form->NewProject);
    }
    // The prompt's initial text, in the folder that holds the open project.
    desktop.expectFolder(home.path());
    desktop.expectPrompt(u"Start.qlyp.dir");
    desktop.expectInfo();
    form->SaveProjectAs1Click(form->SaveProjectAs1);
    EXPECT_EQ(form->ProjectPath, project.u16string());
    EXPECT_EQ(desktop.shown[desktop.shown.size() - 2].extra, u"Give this project a title.|Start.qlyp.dir");
}

TEST_F(Projects, RelocateKeepsTypedTextAndOrderAndLeavesTheOldFolderAlone)
{
    const std::string before = readFile(project / "A");
    type(QStringLiteral(" typed"));
    const fs::path d = home / "Elsewhere";
    fs::create_directories(d);
    desktop.expectFolder(d);
    desktop.expectPrompt(u"Moved");
    form->SaveProjectAs1Click(form->SaveProjectAs1);
    const fs::path moved = d / "Moved.qlyp.dir";
    EXPECT_EQ(form->ProjectPath, moved.u16string());
    EXPECT_NE(readFile(moved / "A").find("typed"), std::string::npos);
    EXPECT_EQ(readFile(project / "A"), before);
    EXPECT_EQ(fs::last_write_time(moved / "C"), store::OrderStamp(0));
    EXPECT_FALSE(form->Edited);
}

TEST_F(Projects, RecentDoubleClickOpensAndMovesTheEntryToTheTop)
{
    const fs::path other = makeProject("Other.qlyp.dir", {"X"});
    desktop.expectFolder(other);
    form->SaveProjectAs1Click(form->OpenProject);
    tick();
    ASSERT_EQ(recent(), (std::vector<std::string>{project.string(), other.string()}));
    form->OpenRecent->setCurrentRow(1);
    form->OpenRecentClick();
    form->OpenRecentDblClick();
    EXPECT_EQ(recent(), (std::vector<std::string>{other.string(), project.string()}));
    EXPECT_EQ(readFile(dataDir() / "Recent"), other.string() + "\r\n" + project.string() + "\r\n");
    EXPECT_EQ(form->ProjectPath, other.u16string());
}

TEST_F(Projects, RecentEntryOfADeletedFolderIsReportedAndKept)
{
    const fs::path gone = makeProject("Gone.qlyp.dir", {"G"});
    form->OpenRecent->addItem(QString::fromStdString(gone.string()));
    fs::remove_all(gone);
    form->OpenRecent->setCurrentRow(1);
    desktop.expectInfo();
    form->OpenRecentDblClick();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info).back(), gone.u16string() + u"\n\nDoes not exist.");
    EXPECT_EQ(recent().size(), 2u);
    EXPECT_EQ(form->ProjectPath, project.u16string());
    EXPECT_EQ(entries(), (std::vector<std::string>{"C", "A", "B"}));
}

TEST_F(Projects, DeletingTheOpenProjectsEntryLastsOneTick)
{
    form->OpenRecent->setCurrentRow(0);
    form->DeleteSelected1Click();
    EXPECT_TRUE(recent().empty());
    EXPECT_EQ(readFile(dataDir() / "Recent"), "");
    tick();
    EXPECT_EQ(recent(), std::vector<std::string>{project.string()});
    EXPECT_EQ(readFile(dataDir() / "Recent"), project.string() + "\r\n");
}

TEST_F(Projects, APathDifferingOnlyInCaseIsNotAddedAgain)
{
    form->ProjectPath = fs::path(project.string().substr(0, project.string().size() - 8) + "QLYP.DIR").u16string();
    tick();
    EXPECT_EQ(recent().size(), 1u);
}

TEST_F(Projects, AFailedRecentWriteIsReportedOnceAndTheListKeepsItsChange)
{
    fs::remove_all(dataDir() / "Recent");
    fs::create_directories(dataDir() / "Recent"); // a folder in the way: the file cannot be replaced
    form->ProjectPath = u"/somewhere/else.qlyp.dir";
    desktop.expectError();
    tick();
    EXPECT_EQ(recent().size(), 2u);
    form->ProjectPath = u"/another.qlyp.dir";
    tick();
    EXPECT_EQ(recent().size(), 3u); // not reported again
}

TEST_F(Projects, HelpModeExplainsInsteadOfSaving)
{
    form->SpeedButton9Click(form->SpeedButton9);
    form->Edited = true;
    desktop.expectInfo();
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info).back(),
              u"Save Project..\n\nSimply saves your project to disk. In this case to..\n\n" + project.u16string());
    EXPECT_TRUE(form->Edited);
    form->SaveProject1Click(form.get()); // an internal call saves all the same
    EXPECT_FALSE(form->Edited);
}
