#include "core/text/TextDecoder.h"

#include <gtest/gtest.h>

using namespace quillory;

TEST(DecodePlainText, ByteOrderMarksSelectTheEncoding)
{
    EXPECT_EQ(DecodePlainText(std::string("\xFF\xFE"
                                          "A\0\xAC\x20",
                                          6)),
              u"A\u20AC");
    EXPECT_EQ(DecodePlainText(std::string("\xFE\xFF\0A\x20\xAC", 6)), u"A\u20AC");
    EXPECT_EQ(DecodePlainText("\xEF\xBB\xBF\xC3\xA9"), u"\u00E9");
    EXPECT_EQ(DecodePlainText(std::string("\xFF\xFE"
                                          "A",
                                          3)),
              u"\uFFFD"); // odd byte count
}

TEST(DecodePlainText, ValidUtf8OtherwiseWindows1252)
{
    EXPECT_EQ(DecodePlainText("caf\xC3\xA9"), u"caf\u00E9");
    EXPECT_EQ(DecodePlainText("caf\xE9 \x80 \x96"), u"caf\u00E9 \u20AC \u2013");
    EXPECT_EQ(DecodePlainText("\x81"), u"\u0081"); // undefined in 1252: kept as its own value
    EXPECT_EQ(DecodePlainText(""), u"");
}

TEST(Cp1252, MapsBothWays)
{
    for (int b = 0; b < 256; ++b) {
        const char16_t u = Cp1252ToUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(UnicodeToCp1252(u), b) << b;
    }
    EXPECT_EQ(UnicodeToCp1252(u'\u4E2D'), -1);
}

TEST(SplitLines, AcceptsEveryLineEnding)
{
    EXPECT_EQ(SplitLines(u"a\r\nb\nc\rd"), (std::vector<std::u16string>{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(SplitLines(u"a\r\n"), (std::vector<std::u16string>{u"a"}));
    EXPECT_EQ(SplitLines(u"a\r\n\r\n"), (std::vector<std::u16string>{u"a", u""}));
    EXPECT_EQ(SplitLines(u"\n\r"), (std::vector<std::u16string>{u"", u""}));
    EXPECT_TRUE(SplitLines(u"").empty());
}

TEST(DecodePlainText, LoneSurrogatesBecomeReplacementCharacters)
{
    const auto le = [](std::u16string_view units) {
        std::string bytes("\xFF\xFE");
        for (char16_t u : units) {
            bytes.push_back(static_cast<char>(u & 0xFF));
            bytes.push_back(static_cast<char>(u >> 8));
        }
        return bytes;
    };
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a\xD800z", u"a\uFFFDz"},         {u"a\xDC00z", u"a\uFFFDz"},
        {u"a\xD800", u"a\uFFFD"},           {u"\xDC00\xD800", u"\uFFFD\uFFFD"},
        {u"\xD83D\xDE00", u"\xD83D\xDE00"}, {u"\xD800\xD83D\xDE00", u"\uFFFD\xD83D\xDE00"},
    };
    for (const auto& [units, decoded] : cases)
        EXPECT_EQ(DecodePlainText(le(units)), decoded);
}
