#include "support/FormFixture.h"
#include "support/Files.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

using namespace quillory;
using namespace quillory::test;

namespace {

class ProjectSync : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"One", "Two"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"One"});
    }
    // Runs the event loop until `done`, as the window does while the folder's changes settle.
    template <typename Condition> [[nodiscard]] static bool eventually(Condition done)
    {
        const QDeadlineTimer deadline(15000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    fs::path project;
};

TEST_F(ProjectSync, ChangesFromElsewhereAppearWithoutASave)
{
    start();
    tick();
    Deliver(project / "Three", "added elsewhere");
    Deliver(project / "One", "One edited elsewhere");
    ASSERT_TRUE(eventually([&] { return entries().size() == 3; })) << "the added page never appeared";
    EXPECT_TRUE(eventually([&] { return page() == "One edited elsewhere"; })) << "the page shown, unedited here";
    EXPECT_FALSE(form->Edited) << "nothing here is unsaved";

    // With typing here, the page shown is not replaced; the Save keeps both.
    type(QStringLiteral(" typed"));
    Deliver(project / "One", "One edited elsewhere again");
    Deliver(project / "Four", "added elsewhere too");
    ASSERT_TRUE(eventually([&] { return entries().size() == 4; }));
    EXPECT_EQ(page(), "One edited elsewhere typed");

    desktop.expectInfo();
    form->SaveProject1Click(form->SaveProject1);
    const std::u16string box = desktop.texts(ScriptedDesktop::Kind::Info).back();
    EXPECT_NE(box.find(u"\nOne  \u2192  One (conflict "), std::u16string::npos) << std::string(box.begin(), box.end());
    EXPECT_EQ(form->CurrentItem.substr(0, 15), u"One (conflict 1");
    EXPECT_EQ(page(), "One edited elsewhere typed");
    EXPECT_EQ(readFile(project / "One"), "One edited elsewhere again");
    EXPECT_EQ(entries().size(), 5U);
    EXPECT_FALSE(form->Edited);
}

TEST_F(ProjectSync, ASaveNeverBringsBackAPageDeletedElsewhere)
{
    start();
    tick();
    fs::remove(project / "Two");
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_EQ(entries(), std::vector<std::string>{"One"});
    EXPECT_FALSE(fs::exists(project / "Two"));
    EXPECT_FALSE(fs::exists(bufferDir() / "Two"));
}

} // namespace
