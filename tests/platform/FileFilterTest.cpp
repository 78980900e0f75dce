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
