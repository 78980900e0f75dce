#include "support/FormFixture.h"

#include "core/store/OrderStamp.h"

#include <QAction>

using namespace quillory;
using namespace quillory::test;

namespace {
class Startup : public FormFixture {};
} // namespace

TEST_F(Startup, FirstRunCreatesTheDataFolderAndTheDefaultProjectSilently)
{
    start();
    EXPECT_TRUE(fs::is_directory(bufferDir()));
    EXPECT_TRUE(fs::is_regular_file(defaultProject() / "Wibble"));
    EXPECT_TRUE(fs::is_regular_file(bufferDir() / "Wibble"));
    EXPECT_EQ(entries(), std::vector<std::string>{"Wibble"});
    EXPECT_EQ(selected(), "Wibble");
    EXPECT_EQ(form->windowTitle().toStdString(), "Quillory - " + defaultProject().string());
    EXPECT_FALSE(form->Edited);
    EXPECT_TRUE(form->Wordwrap->isChecked());
    EXPECT_FALSE(form->SST->isChecked() || form->SOT->isChecked() || form->Autosave->isChecked() ||
                 form->MinimiseafterCopy->isChecked() || form->EnableFunctionKeyCopy->isChecked() ||
                 form->StartwithWindows1->isChecked());
    EXPECT_EQ(form->pos(), QPoint(0, 0));
    tick();
    tick();
    EXPECT_TRUE(desktop.shown.empty()); // no box at all on a first run
    EXPECT_FALSE(form->TrayHintShown);
}

TEST_F(Startup, ADeletedRememberedProjectFallsBackAndIsReportedOnceByTheTick)
{
    const std::string gone = (home / "Gone.qlyp.dir").string();
    writeConfig({.projectPath = fs::path(gone).u16string()});
    start();
    EXPECT_EQ(form->LBHint, fs::path(gone).u16string());
    EXPECT_EQ(form->ProjectPath, defaultProject().u16string());
    // Ticks go on under the box: they must not open it again.
    desktop.expectInfo([&] {
        tick();
        tick();
    });
    tick();
    tick();
    const auto infos = desktop.texts(ScriptedDesktop::Kind::Info);
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_EQ(infos[0], u"Quillory could not load project \n\n" + fs::path(gone).u16string() +
                            u"\n\nHave reset to default.\n\nCheck project still exists and reload using File|Open.");
}

TEST_F(Startup, AnEmptyRememberedProjectFallsBackToWibbleAndIsReported)
{
    const fs::path empty = home / "Empty.qlyp.dir";
    fs::create_directories(empty);
    writeConfig({.projectPath = empty.u16string()});
    start();
    EXPECT_EQ(form->LBHint, empty.u16string());
    EXPECT_EQ(selected(), "Wibble");
    EXPECT_EQ(form->CurrentItem, u"Wibble");
    desktop.expectInfo();
    tick();
}

TEST_F(Startup, AnExistingWibbleWithTextIsKeptAndShown)
{
    writeFile(defaultProject() / "Wibble", "kept text");
    writeConfig({.projectPath = (home / "Gone.qlyp.dir").u16string()});
    start();
    EXPECT_EQ(readFile(defaultProject() / "Wibble"), "kept text");
    EXPECT_EQ(page(), "kept text");
    desktop.expectInfo();
    tick();
}

TEST_F(Startup, TheRememberedItemIsSelectedOrElseTheFirstByName)
{
    const fs::path project = makeProject("P.qlyp.dir", {"C", "A", "B"});
    writeConfig({.projectPath = project.u16string(), .currentItem = u"b"});
    start();
    EXPECT_EQ(entries(), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(selected(), "B");
    EXPECT_EQ(page(), "page B");
    form.reset();

    writeConfig({.projectPath = project.u16string(), .currentItem = u"Vanished"});
    start();
    EXPECT_EQ(selected(), "A"); // first by name, not first in the stamped order
    EXPECT_EQ(form->CurrentItem, u"A");
    tick();
    EXPECT_TRUE(desktop.shown.empty());
}

TEST_F(Startup, LeftoversInTheBufferAreDiscarded)
{
    writeFile(bufferDir() / "crashed-run-page", "unsaved");
    start();
    EXPECT_FALSE(fs::exists(bufferDir() / "crashed-run-page"));
}

TEST_F(Startup, ConfigValuesAreAppliedAndShortFilesKeepDefaults)
{
    const fs::path project = makeProject("P.qlyp.dir", {"One"});
    writeFile(dataDir() / "config",
              "10\r\n20\r\n700\r\n400\r\n" + project.string() + "\r\n150\r\nOne\r\n0\r\n1\r\n1\r\n");
    start();
    EXPECT_EQ(form->pos(), QPoint(10, 20));
    EXPECT_EQ(form->frameGeometry().size(), QSize(700, 400)); // the outer size
    EXPECT_TRUE(form->SOT->isChecked());
    EXPECT_TRUE(form->TrayHintShown);
    EXPECT_TRUE(form->Wordwrap->isChecked()); // line 15 missing: its default
    EXPECT_FALSE(form->Autosave->isChecked());
}

TEST_F(Startup, ShowingAgainDoesNotReloadAnything)
{
    start();
    type(QStringLiteral("typed"));
    form->hide();
    form->show();
    EXPECT_EQ(page(), "typed");
}

TEST_F(Startup, StartWithWindowsReflectsTheAutostartEntry)
{
    writeFile(desktop.autostart / "Quillory.desktop", "[Desktop Entry]\n");
    start();
    EXPECT_TRUE(form->StartwithWindows1->isChecked());
}

TEST_F(Startup, HiddenFilesAndSubfoldersAreNeitherListedNorCopied)
{
    const fs::path project = makeProject("P.qlyp.dir", {"Visible"});
    writeFile(project / ".hidden", "x");
    fs::create_directories(project / "sub");
    writeConfig({.projectPath = project.u16string()});
    start();
    EXPECT_EQ(entries(), std::vector<std::string>{"Visible"});
    EXPECT_FALSE(fs::exists(bufferDir() / ".hidden"));
    EXPECT_FALSE(fs::exists(bufferDir() / "sub"));
}

TEST_F(Startup, LongAndBlankLedNamesAreListedShortened)
{
    const std::string longName(210, 'n');
    const fs::path project = makeProject("P.qlyp.dir", {longName, " lead"});
    writeConfig({.projectPath = project.u16string()});
    start();
    EXPECT_EQ(entries(), (std::vector<std::string>{std::string(200, 'n'), "lead"}));
}

TEST_F(Startup, AnUnstampedFileDatedTodaySortsAfterTheStampedOnes)
{
    const fs::path project = makeProject("P.qlyp.dir", {"Zed", "Alpha"});
    writeFile(project / "Fresh", "new"); // dated now
    writeConfig({.projectPath = project.u16string()});
    start();
    EXPECT_EQ(entries(), (std::vector<std::string>{"Zed", "Alpha", "Fresh"}));
}
