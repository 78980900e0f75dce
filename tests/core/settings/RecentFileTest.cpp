#include "core/settings/RecentFile.h"

#include <gtest/gtest.h>

using namespace quillory;

using Entries = std::vector<std::u16string>;

TEST(RecentFile, RoundTripsEveryEntryInOrder)
{
    const Entries entries{u"/home/u/B.qlyp.dir", u"/home/u/A.qlyp.dir", u"/home/u/\u00C4rger.qlyp.dir"};
    const std::string text = settings::WriteRecent(entries);
    EXPECT_EQ(text, "/home/u/B.qlyp.dir\r\n/home/u/A.qlyp.dir\r\n/home/u/\xC3\x84rger.qlyp.dir\r\n");
    EXPECT_EQ(settings::ReadRecent(text), entries);
}

TEST(RecentFile, EmptyListIsAnEmptyFile)
{
    EXPECT_EQ(settings::WriteRecent({}), "");
    EXPECT_TRUE(settings::ReadRecent("").empty());
}

TEST(RecentFile, ReadsAnyLineEndingAndByteOrderMark)
{
    EXPECT_EQ(settings::ReadRecent("\xEF\xBB\xBF/a\n/b\r/c"), (Entries{u"/a", u"/b", u"/c"}));
    EXPECT_EQ(settings::ReadRecent("/a\r\n\r\n/b\r\n"), (Entries{u"/a", u"", u"/b"}));
}
