#include "core/Utf.h"

#include <gtest/gtest.h>

using namespace quillory;

TEST(Utf, RoundTripsEveryPlane)
{
    const std::u16string text = u"a\u00e9\u20ac\U0001F4A9z";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00e9"), "\xC3\xA9");
}

TEST(Utf, MalformedInputBecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");           // truncated
    EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD\uFFFD"); // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");   // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
    EXPECT_TRUE(IsValidUtf8("plain \xE2\x82\xAC"));
}
