#include "support/FormFixture.h"

#include "core/store/OrderStamp.h"

#include <QSignalBlocker>

using namespace quillory;
using namespace quillory::test;

namespace {
class ItemSwitch : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"C", "A", "B"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"C"});
        start();
    }
    fs::path project;
};
} // namespace

TEST_F(ItemSwitch, WritesThePageShownRestampsAndLoadsTheSelectedOne)
{
    type(QStringLiteral(" edited"));
    click(2); // B
    EXPECT_EQ(form->CurrentItem, u"B");
    EXPECT_EQ(page(), "page B");
    EXPECT_NE(readFile(bufferDir() / "C").find("page C edited"), std::string::npos);
    EXPECT_EQ(fs::last_write_time(bufferDir() / "C"), store::OrderStamp(0));
    EXPECT_EQ(fs::last_write_time(bufferDir() / "A"), store::OrderStamp(1));
    EXPECT_EQ(fs::last_write_time(bufferDir() / "B"), store::OrderStamp(2));
    EXPECT_EQ(form->RE->textCursor().position(), form->RE->document()->characterCount() - 1);
    EXPECT_EQ(entries(), (std::vector<std::string>{"C", "A", "B"})); // the list is not rebuilt
}

TEST_F(ItemSwitch, SelectingTheCurrentEntryWritesAndReadsItBackWithoutTouchingEdited)
{
    type(QStringLiteral("!"));
    form->Edited = false;
    form->RE->moveCursor(QTextCursor::Start);
    form->LBClick();
    EXPECT_EQ(page(), "page C!");
    EXPECT_FALSE(form->Edited);
    EXPECT_EQ(form->RE->textCursor().position(), 7);
}

TEST_F(ItemSwitch, AnEntryWithoutAFileKeepsThePageAndTheItemShown)
{
    fs::remove(bufferDir() / "A");
    type(QStringLiteral(" kept"));
    desktop.expectError();
    click(1);
    EXPECT_EQ(form->CurrentItem, u"C");
    EXPECT_EQ(selected(), "C");
    EXPECT_EQ(page(), "page C kept");
    EXPECT_FALSE(fs::exists(bufferDir() / "A")); // the old page was not written under the new name
}

TEST_F(ItemSwitch, FixItStampsInListOrderAndRebuilds)
{
    {
        const QSignalBlocker block(form->LB); // move B to the top, as a drag would
        auto* b = form->LB->takeItem(2);
        form->LB->insertItem(0, b);
    }
    form->FixIt(0);
    EXPECT_EQ(entries(), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(selected(), "C");
    EXPECT_EQ(fs::last_write_time(bufferDir() / "B"), store::OrderStamp(0));
}

// Our writer never reproduces another program's RTF, so a page is written back only when it
// changed: looking at it keeps its bytes, in the buffer and, after a save, in the project.
TEST_F(ItemSwitch, APageThatWasOnlyViewedKeepsItsBytes)
{
    const std::string foreign = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\*\\generator Other 1.0;}"
                                "\\pard\\f0\\fs20 From another program\\par\n}";
    writeFile(bufferDir() / "A", foreign);
    click(1); // A, viewed
    EXPECT_EQ(page(), "From another program");
    click(2); // and left
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_EQ(readFile(bufferDir() / "A"), foreign);
    EXPECT_EQ(readFile(project / "A"), foreign);

    click(1);
    form->RE->selectAll(); // a formatting change is a change too
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    form->RE->textCursor().mergeCharFormat(bold);
    click(2);
    EXPECT_NE(readFile(bufferDir() / "A"), foreign);
    EXPECT_NE(readFile(bufferDir() / "A").find("\\b"), std::string::npos);
}
