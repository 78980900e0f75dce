#include "core/text/TextExport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quillory;

TEST(PlainTextFile, Utf8WithCrLfAfterEveryLineAndNoByteOrderMark)
{
    const std::vector<std::u16string> lines{u"First line ", u"", u"caf\u00E9 \U0001F600"};
    EXPECT_EQ(PlainTextFile(lines), "First line \r\n\r\ncaf\xC3\xA9 \xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(PlainTextFile({}), "");
}

TEST(ExportsAsRtf, OnlyANameEndingInDotRtfInAnyCase)
{
    const std::vector<std::pair<const char*, bool>> cases{
        {"/tmp/page.rtf", true},   {"/tmp/page.RTF", true},   {"page.Rtf", true},           {"/tmp/.rtf", true},
        {"/tmp/page.txt", false},  {"/tmp/page", false},      {"/tmp/page.rtf.txt", false}, {"/tmp/rtf", false},
        {"/tmp/page.rtfx", false}, {"/tmp/a.rtf/page", false}};
    for (const auto& [file, rtf] : cases)
        EXPECT_EQ(ExportsAsRtf(file), rtf) << file;
}
