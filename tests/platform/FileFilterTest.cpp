#include "platform/qt/FileFilter.h"

#include <gtest/gtest.h>

using namespace quillory;

TEST(FileFilter, PairsBecomeQtFiltersAndStarDotStarMatchesEveryFile)
{
    EXPECT_EQ(qtFileFilter(u"Text File|*.txt|Rich Text File|*.rtf|Anything|*.*"),
              QStringLiteral("Text File (*.txt);;Rich Text File (*.rtf);;Anything (*)"));
    EXPECT_EQ(qtFileFilter(u"Pages|*.txt;*.rtf|Dangling"), QStringLiteral("Pages (*.txt *.rtf)"));
    EXPECT_EQ(qtFileFilter(u""), QString());
}

TEST(FileFilter, TheSuffixOfAFilterIsItsFirstPatternsExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Rich Text File (*.rtf)", "rtf"},
        {"Pages (*.txt *.rtf)", "txt"},
        {"Anything (*)", ""},
        {"Odd (*.*)", ""},
        {"No pattern", ""},
        {"Named (notes.txt)", ""},
    };
    for (const auto& [filter, suffix] : cases)
        EXPECT_EQ(suffixOfFilter(QString::fromUtf8(filter)), QString::fromUtf8(suffix)) << filter;
}
