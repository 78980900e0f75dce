#include "core/store/ProjectNaming.h"

#include <gtest/gtest.h>

using namespace quillory;

TEST(CompleteProjectName, AppendsTheExtensionUnlessTheNameHoldsIt)
{
    EXPECT_EQ(store::CompleteProjectName(u"Notes"), u"Notes.qlyp.dir");
    EXPECT_EQ(store::CompleteProjectName(u"Notes.qlyp.dir"), u"Notes.qlyp.dir");
    EXPECT_EQ(store::CompleteProjectName(u"Notesqlyp.dir"), u"Notesqlyp.dir");
    EXPECT_EQ(store::CompleteProjectName(u"Archive.QLYP.DIR"), u"Archive.QLYP.DIR");
    EXPECT_EQ(store::CompleteProjectName(u"qlyp.dir old"), u"qlyp.dir old");
}

TEST(IsProjectPath, NeedsTheDottedExtensionAnywhereInThePath)
{
    EXPECT_TRUE(store::IsProjectPath(u"/home/u/Archive.QLYP.DIR"));
    EXPECT_TRUE(store::IsProjectPath(u"/home/u/Notes.qlyp.dir/sub"));
    EXPECT_FALSE(store::IsProjectPath(u"/home/u/Archive"));
    EXPECT_FALSE(store::IsProjectPath(u"/home/u/Notesqlyp.dir"));
}

TEST(ProjectNameProblem, RefusesNamesThatCannotBeFolders)
{
    EXPECT_EQ(store::ProjectNameProblem(u"Notes"), std::nullopt);
    EXPECT_EQ(store::ProjectNameProblem(u" Notes "), std::nullopt);
    for (const std::u16string bad : {u"", u"   ", u"\t", u"a/b", u"/", u".", u".."})
        EXPECT_NE(store::ProjectNameProblem(bad), std::nullopt) << bad.size();
    EXPECT_NE(store::ProjectNameProblem(std::u16string(u"a\0b", 3)), std::nullopt);
    EXPECT_EQ(*store::ProjectNameProblem(u"a/b"), u"A project name cannot contain \"/\".");

    // 255 bytes with the extension is the most a folder name can have.
    EXPECT_EQ(store::ProjectNameProblem(std::u16string(246, u'n')), std::nullopt);
    EXPECT_NE(store::ProjectNameProblem(std::u16string(247, u'n')), std::nullopt);
    EXPECT_NE(store::ProjectNameProblem(std::u16string(124, u'\u00E9')), std::nullopt); // two bytes each
}
