#include "ui/form/PageSession.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

// The page shown, without a window: what counts as a change, what is written, what is the user's.
namespace quillory {
namespace {

namespace fs = std::filesystem;

class Session : public ::testing::Test {
protected:
    QTextEdit editor;
    PageSession page{editor};
    test::TempDir dir;
    fs::path file = dir / "Page";

    void SetUp() override { test::WriteFile(file, "{\\rtf1 their own bytes}"); }
};

TEST_F(Session, APageOnlyLookedAtKeepsItsBytesAndAnUndoneEditIsNoChange)
{
    ASSERT_FALSE(page.show(file));
    EXPECT_TRUE(page.loaded());
    EXPECT_FALSE(editor.isReadOnly());
    EXPECT_FALSE(page.writeIfChanged(file, store::Flush::Skip));
    EXPECT_EQ(test::ReadFile(file), "{\\rtf1 their own bytes}");

    editor.textCursor().insertText(QStringLiteral("x"));
    EXPECT_TRUE(page.changed());
    editor.undo();
    EXPECT_FALSE(page.changed());

    editor.textCursor().insertText(QStringLiteral("y"));
    EXPECT_FALSE(page.writeIfChanged(file, store::Flush::Skip));
    EXPECT_NE(test::ReadFile(file).find("y"), std::string::npos);
    EXPECT_FALSE(page.changed());
}

TEST_F(Session, APageOfNoItemIsReadOnlyAndNeverWritten)
{
    ASSERT_FALSE(page.show(file));
    page.showNone();
    EXPECT_FALSE(page.loaded());
    EXPECT_TRUE(editor.isReadOnly());
    fs::remove(file);
    EXPECT_FALSE(page.writeIfChanged(file, store::Flush::Skip));
    EXPECT_FALSE(fs::exists(file));

    // A page of a project just closed is forgotten: it is never written into the next.
    test::WriteFile(dir / "Other", "x");
    ASSERT_FALSE(page.show(dir / "Other"));
    editor.textCursor().insertText(QStringLiteral("typed"));
    page.forget();
    EXPECT_FALSE(page.changed());
    EXPECT_FALSE(page.writeIfChanged(file, store::Flush::Skip));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Session, AFailedLoadLeavesTheEditorAndTheSessionAsTheyWere)
{
    ASSERT_FALSE(page.show(file));
    editor.textCursor().insertText(QStringLiteral("kept "));
    EXPECT_TRUE(page.show(dir / "missing"));
    EXPECT_TRUE(page.loaded());
    EXPECT_TRUE(page.changed());
    EXPECT_TRUE(editor.toPlainText().startsWith(QStringLiteral("kept ")));
}

TEST_F(Session, LoadingIsNoChangeAndTheProgramsChangesAreNoEdits)
{
    int changes = 0;
    bool usersEdit = false;
    QObject::connect(editor.document(), &QTextDocument::contentsChange, [&](int, int removed, int added) {
        if (!page.isChange(removed, added))
            return;
        ++changes;
        usersEdit = page.isUsersEdit();
    });
    ASSERT_FALSE(page.show(file));
    page.showEmpty();
    EXPECT_EQ(changes, 0);
    {
        const ScopedFlag byProgram = page.programChange();
        editor.textCursor().insertText(QStringLiteral("mark"));
    }
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(usersEdit);
    editor.textCursor().insertText(QStringLiteral("typed"));
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(usersEdit);
}

} // namespace
} // namespace quillory
