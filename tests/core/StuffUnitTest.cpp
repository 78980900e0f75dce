#include "core/StuffUnit.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quillory;

TEST(FindFrom, FindsFromTheStartPositionAndReportsOneBasedPositions)
{
    EXPECT_EQ(FindFrom(u"b", u"abcb", 3), 4u);
    EXPECT_EQ(FindFrom(u"b", u"abcb", 1), 2u);
    EXPECT_EQ(FindFrom(u"b", u"abcb", 4), 4u);  // start at the last character still looks at it
    EXPECT_EQ(FindFrom(u"b", u"abcb", 5), 0u);  // past the end
    EXPECT_EQ(FindFrom(u"cb", u"abcb", 0), 3u); // below 1 counts as 1
}

TEST(FindFrom, IgnoresCaseOfAsciiLettersOnly)
{
    EXPECT_EQ(FindFrom(u"E", u"e", 1), 1u);
    EXPECT_EQ(FindFrom(u"qlyp.dir", u"/x/Archive.QLYP.DIR", 1), 12u);
    EXPECT_EQ(FindFrom(u"\u00C9", u"\u00E9", 1), 0u); // accented letters compare exactly
}

TEST(FindFrom, EmptyOrAbsentSearchTextIsNotFound)
{
    EXPECT_EQ(FindFrom(u"", u"abc", 1), 0u);
    EXPECT_EQ(FindFrom(u"", u"", 1), 0u);
    EXPECT_EQ(FindFrom(u"x", u"", 1), 0u);
    EXPECT_EQ(FindFrom(u"abcd", u"abc", 1), 0u);
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutSearchingInsertedText)
{
    std::u16string t = u"aBcAB";
    ReplaceAll(u"ab", u"x", t);
    EXPECT_EQ(t, u"xcx");

    t = u"aXa";
    ReplaceAll(u"a", u"aa", t); // would never end if the insertion were searched again
    EXPECT_EQ(t, u"aaXaa");

    t = u"20160725-1500";
    ReplaceAll(u"-", u"", t);
    EXPECT_EQ(t, u"201607251500");

    t = u"aaaa";
    ReplaceAll(u"aa", u"a", t); // occurrences never overlap
    EXPECT_EQ(t, u"aa");

    t = u"--";
    ReplaceAll(u"-", u"", t);
    EXPECT_EQ(t, u"");

    t = u"abX"; // one character after the last match
    ReplaceAll(u"ab", u"x", t);
    EXPECT_EQ(t, u"xX");
}

TEST(ReplaceAll, EmptySearchOrNoMatchLeavesTheTextAlone)
{
    std::u16string t = u"abc";
    ReplaceAll(u"", u"x", t);
    EXPECT_EQ(t, u"abc");
    ReplaceAll(u"z", u"x", t);
    EXPECT_EQ(t, u"abc");
}

TEST(ReplaceAll, RewritesAReminderTag)
{
    std::u16string t = u"Call Reminder{20160725-1500}[dentist] now";
    ReplaceAll(u"Reminder{20160725-1500}", u"Reminder[20160725-1500]", t);
    EXPECT_EQ(t, u"Call Reminder[20160725-1500][dentist] now");
}

TEST(LeadingInt, TakesTheLongestValidLeadingPart)
{
    EXPECT_EQ(LeadingInt(u"12abc"), 12);
    EXPECT_EQ(LeadingInt(u"  -7 px"), -7);
    EXPECT_EQ(LeadingInt(u"42 "), 42);
    EXPECT_EQ(LeadingInt(u"1a2"), 1);
    EXPECT_EQ(LeadingInt(u"+5"), 5);
    EXPECT_EQ(LeadingInt(u"007"), 7);
    EXPECT_EQ(LeadingInt(u"-0"), 0);
}

TEST(LeadingInt, NothingNumericGivesZero)
{
    for (const char16_t* t : {u"abc", u"", u"-", u"+", u"   ", u"$", u"x", u"X", u"0x", u"-$", u"\t5", u"- 5", u"0xZ"})
        EXPECT_EQ(LeadingInt(t), 0) << "for input of length " << std::u16string_view(t).size();
}

TEST(LeadingInt, ReadsHexadecimalAsTwosComplement)
{
    EXPECT_EQ(LeadingInt(u"$1F"), 31);
    EXPECT_EQ(LeadingInt(u"0x10"), 16);
    EXPECT_EQ(LeadingInt(u"0X1f"), 31);
    EXPECT_EQ(LeadingInt(u"x10"), 16);
    EXPECT_EQ(LeadingInt(u"$FFFFFFFF"), -1);
    EXPECT_EQ(LeadingInt(u"-$10"), -16);
    EXPECT_EQ(LeadingInt(u"-$80000000"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(LeadingInt(u"$1FG"), 31);
    EXPECT_EQ(LeadingInt(u"$123456789"), 0x12345678); // at most eight digits
}

TEST(LeadingInt, ClampsDecimalsBeyondThirtyTwoBits)
{
    EXPECT_EQ(LeadingInt(u"2147483647"), 2147483647);
    EXPECT_EQ(LeadingInt(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(LeadingInt(u"2147483648"), 2147483647);
    EXPECT_EQ(LeadingInt(u"99999999999999999999999"), 2147483647);
    EXPECT_EQ(LeadingInt(u"-99999999999999999999999px"), std::numeric_limits<std::int32_t>::min());
}

TEST(IntToText, WritesPlainDecimal)
{
    EXPECT_EQ(IntToText(0), u"0");
    EXPECT_EQ(IntToText(-42), u"-42");
    EXPECT_EQ(IntToText(1028259840), u"1028259840");
    EXPECT_EQ(IntToText(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808");
}

TEST(PathSplitting, SplitsAtTheLastSlashOfEitherKind)
{
    EXPECT_EQ(NameAfterSlash(u"C:\\a/b\\c.txt"), u"c.txt");
    EXPECT_EQ(NameAfterSlash(u"c.txt"), u"c.txt");
    EXPECT_EQ(NameAfterSlash(u"a/b\\c"), u"c");
    EXPECT_EQ(NameAfterSlash(u"\\"), u"");
    EXPECT_EQ(NameAfterSlash(u"/home/me/"), u"");
    EXPECT_EQ(NameAfterSlash(u""), u"");

    EXPECT_EQ(PathBeforeSlash(u"C:\\a\\b.txt"), u"C:\\a\\");
    EXPECT_EQ(PathBeforeSlash(u"C:\\dir\\"), u"C:\\dir\\");
    EXPECT_EQ(PathBeforeSlash(u"///"), u"///");
    EXPECT_EQ(PathBeforeSlash(u"a/b\\c"), u"a/b\\");
    EXPECT_EQ(PathBeforeSlash(u"\\"), u"\\");
    EXPECT_EQ(PathBeforeSlash(u"b.txt"), u"");
    EXPECT_EQ(PathBeforeSlash(u""), u"");
}

TEST(CaseInsensitiveNames, CompareAsciiLettersWithoutCase)
{
    EXPECT_TRUE(EqualsNoCase(u"Wibble", u"WIBBLE"));
    EXPECT_FALSE(EqualsNoCase(u"\u00e9", u"\u00c9"));
    EXPECT_LT(CompareNoCase(u"apple", u"Banana"), 0);
    EXPECT_EQ(CompareNoCase(u"ABC", u"abc"), 0);
    EXPECT_LT(CompareNoCase(u"ab", u"abc"), 0);
}
