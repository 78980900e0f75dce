#include "support/FormFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

using namespace quillory;
using namespace quillory::test;

namespace {

class Recovery : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"One", "Two", "Three"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"One"});
    }
    // The run ends as a crash ends it: nothing of the window's own ending runs, so the session
    // marker stays behind.
    void crash()
    {
        const std::string marker = readFile(dataDir() / ".session");
        ASSERT_FALSE(marker.empty()) << "a running session names its project";
        form.reset();
        writeFile(dataDir() / ".session", marker);
    }
    // Typing into two pages: One left by a switch, Two written once the typing paused.
    void typeIntoTwoPages()
    {
        type(QStringLiteral(" typed"));
        click(1);
        type(QStringLiteral(" typed"));
        pauseTyping();
    }
    void pauseTyping() const
    {
        auto* timer = form->findChild<QTimer*>(QStringLiteral("PageWriteTimer"));
        ASSERT_TRUE(timer && timer->isActive()) << "a change waits for its write";
        timer->setInterval(0);
        timer->start();
        const QDeadlineTimer deadline(5000);
        while (timer->isActive() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_FALSE(timer->isActive());
    }
    fs::path project;
};

TEST_F(Recovery, ThePageShownReachesItsBufferFileOnceTheTypingPauses)
{
    start();
    tick();
    const auto* timer = form->findChild<QTimer*>(QStringLiteral("PageWriteTimer"));
    ASSERT_TRUE(timer);
    EXPECT_FALSE(timer->isActive()) << "nothing changed, nothing to write";
    type(QStringLiteral(" typed"));
    EXPECT_EQ(timer->interval(), 2000);
    tick(); // never on the tick itself
    EXPECT_EQ(readFile(bufferDir() / "One").find("typed"), std::string::npos);
    pauseTyping();
    EXPECT_NE(readFile(bufferDir() / "One").find("typed"), std::string::npos);
    // Written once: the switch finds nothing more to write, and no write waits.
    EXPECT_FALSE(timer->isActive());
}

TEST_F(Recovery, AfterACrashYesRestoresTheUnsavedPagesForTheNextSave)
{
    start();
    tick();
    typeIntoTwoPages();
    crash();

    desktop.expectConfirm(Answer::Yes);
    start();
    ASSERT_TRUE(desktop.allConsumed());
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).back(),
              u"Quillory did not end properly last time. Its working copy of the project\n\n" + project.u16string() +
                  u"\n\nholds 2 pages added, changed or deleted since the last save.\n\nRestore the unsaved pages "
                  u"of the last session?");
    EXPECT_EQ(entries(), (std::vector<std::string>{"One", "Two", "Three"}));
    EXPECT_EQ(selected(), "One");
    EXPECT_EQ(page(), "page One typed");
    EXPECT_TRUE(form->Edited);
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_NE(readFile(project / "One").find("typed"), std::string::npos);
    EXPECT_NE(readFile(project / "Two").find("typed"), std::string::npos);
}

TEST_F(Recovery, NoEmptiesTheBufferAsEveryStartDid)
{
    start();
    tick();
    typeIntoTwoPages();
    crash();
    desktop.expectConfirm(Answer::No);
    start();
    EXPECT_EQ(page(), "page One");
    EXPECT_FALSE(form->Edited);
    EXPECT_EQ(readFile(bufferDir() / "Two"), readFile(project / "Two"));
}

TEST_F(Recovery, AnOrderlyEndOrANothingUnsavedAsksNothing)
{
    start();
    tick();
    typeIntoTwoPages();
    form.reset(); // the run ends in order: the user chose not to save
    EXPECT_FALSE(fs::exists(dataDir() / ".session"));
    start(); // an unexpected box would fail the test
    EXPECT_EQ(page(), "page One");

    crash(); // a crash after nothing was changed
    start();
    EXPECT_FALSE(form->Edited);
}

TEST_F(Recovery, ACrashInAnotherProjectNamesItAndYesOpensIt)
{
    const fs::path other = makeProject("Other.qlyp.dir", {"Alpha", "Beta"});
    start();
    tick();
    desktop.expectFolder(other);
    form->SaveProjectAs1Click(form->OpenProject);
    tick(); // the marker follows the project
    type(QStringLiteral(" typed"));
    click(1);
    crash();

    desktop.expectConfirm(Answer::Yes);
    start();
    EXPECT_NE(desktop.texts(ScriptedDesktop::Kind::Confirm).back().find(other.u16string()), std::u16string::npos);
    EXPECT_EQ(form->ProjectPath, other.u16string());
    EXPECT_EQ(entries(), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_TRUE(form->Edited);
}

} // namespace

namespace {

// Another program deleted the buffer file of the page shown: the page is still in the editor,
// and the next switch or save writes it again rather than letting it vanish.
TEST_F(Recovery, ThePageShownOutlivesItsBufferFile)
{
    start();
    tick();
    fs::remove(bufferDir() / "One");
    click(1);
    EXPECT_EQ(page(), "page Two");
    EXPECT_NE(readFile(bufferDir() / "One").find("page One"), std::string::npos);

    fs::remove(bufferDir() / "Two");
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_NE(readFile(bufferDir() / "Two").find("page Two"), std::string::npos);
    EXPECT_NE(readFile(project / "Two").find("page Two"), std::string::npos);
    EXPECT_EQ(entries(), (std::vector<std::string>{"One", "Two", "Three"}));
}

} // namespace
