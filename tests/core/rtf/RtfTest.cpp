#include "core/rtf/Rtf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace quillory::rtf;
using RtfRun = quillory::rtf::Run; // Run alone is GoogleTest's, inside a test
using namespace std::literals;

TEST(RtfPage, LooksLikeRtfOnlyWhenItBeginsSo)
{
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(LooksLikeRtf(" \r\n\t{\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("text {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf("{\\rt"));
    EXPECT_FALSE(LooksLikeRtf(""));
    EXPECT_FALSE(LooksLikeRtf("{\\RTF1}"));
}

TEST(RtfPage, PlainTextIsOneParagraphPerLine)
{
    const Document doc = ReadPage("one\r\ntwo\nthree\rfour\r\n\r\nsix");
    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_EQ(PlainText(doc), u"one\ntwo\nthree\nfour\n\nsix");
    EXPECT_TRUE(doc.paragraphs[4].runs.empty());
    EXPECT_EQ(doc.paragraphs[0].runs[0].format, CharFormat{});
}

TEST(RtfPage, PlainTextIsDecodedByItsByteOrderMarkOrAsUtf8OrWindows1252)
{
    EXPECT_EQ(PlainText(ReadPage("\xFF\xFE"
                                 "a\0\x16\x04"sv)),
              u"a\u0416");
    EXPECT_EQ(PlainText(ReadPage("\xFE\xFF\0a\x04\x16"sv)), u"a\u0416");
    EXPECT_EQ(PlainText(ReadPage("\xEF\xBB\xBF"
                                 "caf\xC3\xA9")),
              u"caf\u00E9");
    EXPECT_EQ(PlainText(ReadPage("caf\xC3\xA9")), u"caf\u00E9");
    EXPECT_EQ(PlainText(ReadPage("caf\xE9 \x80")), u"caf\u00E9 \u20AC");
}

TEST(RtfPage, EmptyFileIsOneEmptyParagraph)
{
    const Document doc = ReadPage("");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_TRUE(doc.paragraphs[0].runs.empty());
}

TEST(RtfPage, RtfPageIsReadAsRtf)
{
    EXPECT_EQ(PlainTextOf("{\\rtf1 \\b Hello\\b0\\par World\\line again}"), u"Hello\nWorld\nagain");
    EXPECT_EQ(PlainTextOf("plain {\\b not rtf}"), u"plain {\\b not rtf}");
}

TEST(RtfDocument, PlainTextJoinsParagraphsAndLineBreaksWithNewlines)
{
    Document doc;
    doc.paragraphs.resize(3);
    doc.paragraphs[0].runs = {RtfRun{u"a\tb", {}}, RtfRun{u"\vc", {}}};
    doc.paragraphs[2].runs = {RtfRun{u"d", {}}};
    EXPECT_EQ(PlainText(doc), u"a\tb\nc\n\nd");
    EXPECT_EQ(PlainText(Document{}), u"");
}

} // namespace
