#include "core/rtf/Rtf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace quillory::rtf;
using namespace std::literals;

Document read(std::string_view rtf)
{
    return ReadRtf(rtf);
}

std::u16string textOf(std::string_view rtf)
{
    return PlainText(ReadRtf(rtf));
}

std::string page(std::string_view body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}" + std::string(body) + "}";
}

// The run holding the first occurrence of `text`.
const Run& runWith(const Document& doc, std::u16string_view text)
{
    for (const Paragraph& p : doc.paragraphs)
        for (const Run& r : p.runs)
            if (r.text.find(text) != std::u16string::npos)
                return r;
    static const Run none;
    ADD_FAILURE() << "no run holds the text";
    return none;
}

TEST(RtfReaderTokens, ControlWordsEndAtASpaceWhichTheyConsume)
{
    EXPECT_EQ(textOf(page("\\b bold\\b0  plain")), u"bold plain");
    EXPECT_EQ(textOf(page("\\cf0\\highlight0Normal")), u"Normal"); // letters after digits are text
    EXPECT_EQ(textOf(page("\\li-360 indented\\fi-0x")), u"indentedx");
}

TEST(RtfReaderTokens, ControlSymbolsGiveTheirCharacters)
{
    EXPECT_EQ(textOf(page("a\\{b\\}c\\\\d")), u"a{b}c\\d");
    EXPECT_EQ(textOf(page("non\\~breaking soft\\-hyphen hard\\_hyphen")),
              u"non\u00A0breaking soft\u00ADhyphen hard\u2011hyphen");
    EXPECT_EQ(textOf(page("\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet")),
              u"\u2014\u2013\u2018\u2019\u201C\u201D\u2022");
    EXPECT_EQ(textOf(page("\\emspace\\enspace\\qmspace\\zwj\\zwnj\\ltrmark\\rtlmark")),
              u"\u2003\u2002\u2005\u200D\u200C\u200E\u200F");
}

TEST(RtfReaderTokens, HexEscapesUseWindows1252ByDefault)
{
    EXPECT_EQ(textOf(page("caf\\'e9 \\'80 \\'93q\\'94")), u"caf\u00E9 \u20AC \u201Cq\u201D");
}

TEST(RtfReaderTokens, AStarMarksADestinationOnlyFirstInItsGroup)
{
    struct Case {
        std::string_view body;
        std::u16string_view text;
    };
    for (const Case& c : std::initializer_list<Case>{
             // As older office suites write it: the star after other words marks nothing.
             {"{\\loch\\f2\\*\\cs7 The quick brown fox}\\par", u"The quick brown fox"},
             {"{\\*\\unknowndest skipped}kept\\par", u"kept"},
             {"{\\*\\cs7 skipped}kept\\par", u"kept"},
             {"{x\\*\\cs7 y}\\par", u"xy"},
             {"{\\'41\\*\\cs7 y}\\par", u"Ay"},
             {"{\\b{\\*\\unknowndest skipped}bold}\\par", u"bold"},
         }) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(textOf(page(c.body)), c.text);
    }
}

TEST(RtfReaderTokens, LineEndsInTheFileAreNotText)
{
    EXPECT_EQ(textOf(page("one\r\ntwo\nthree\rfour")), u"onetwothreefour");
}

TEST(RtfReaderTokens, BackslashBeforeALineEndIsAParagraph)
{
    EXPECT_EQ(textOf("{\\rtf1\\ansi\n  one\\\n  two\\\r\n  three\\\n}"), u"  one\n  two\n  three");
}

TEST(RtfReaderTokens, ParameterOfAnyLengthIsClampedNotWrapped)
{
    const Document doc = read(page("\\fs99999999999999999999 big\\cf-99999999999999 x"));
    EXPECT_EQ(runWith(doc, u"big").format.pointSize, 1638);
    EXPECT_EQ(PlainText(doc), u"bigx");
}

TEST(RtfReaderUnicode, EachUnicodeCharacterSkipsOneFallbackByDefault)
{
    EXPECT_EQ(textOf(page("\\u8364?x \\u1046 Ay")), u"\u20ACx \u0416y");
}

TEST(RtfReaderUnicode, UcCountIsScopedToItsGroup)
{
    EXPECT_EQ(textOf(page("{\\uc2\\u8364 xyA}\\u8364 zB")), u"\u20ACA\u20ACB");
    EXPECT_EQ(textOf(page("{\\uc0\\u8364}\\u8364?")), u"\u20AC\u20AC");
}

TEST(RtfReaderUnicode, FallbackCountsAnEscapeAControlWordAndBinaryDataAsOneEach)
{
    EXPECT_EQ(textOf(page("\\uc3\\u8364\\'80\\par\\bin2 xyZ")), u"\u20ACZ");
}

TEST(RtfReaderUnicode, BraceEndsTheFallback)
{
    EXPECT_EQ(textOf(page("\\uc5\\u8364{\\b x}yz")), u"\u20ACxyz");
    EXPECT_EQ(textOf(page("{\\uc5\\u8364}abc")), u"\u20ACabc");
}

TEST(RtfReaderUnicode, NegativeValuesAndSurrogatePairs)
{
    EXPECT_EQ(textOf(page("\\u-10179?\\u-9047?")), u"\U0001F4A9");
    EXPECT_EQ(textOf(page("\\u-1?\\u-4064?")), u"\uFFFF\uF020");
}

TEST(RtfReaderUnicode, LoneSurrogateBecomesReplacementCharacter)
{
    EXPECT_EQ(textOf(page("a\\u-10179?b")), u"a\uFFFDb");
    EXPECT_EQ(textOf(page("a\\u-9047?b")), u"a\uFFFDb");
    EXPECT_EQ(textOf(page("a\\u-10179?\\par b")), u"a\uFFFD\nb");
    EXPECT_EQ(textOf(page("\\u-10179?\\u-10179?\\u-9047?")), u"\uFFFD\U0001F4A9");
}

TEST(RtfReaderDestinations, IgnorableAndKnownDestinationsAreSkipped)
{
    EXPECT_EQ(textOf(page("a{\\*\\unknown b{c}}d")), u"ad");
    EXPECT_EQ(textOf(page("a{\\stylesheet{\\s1 Normal;}}{\\info{\\title T}{\\author A}}b")), u"ab");
    EXPECT_EQ(textOf(page("a{\\pict\\pngblip 89504e470d0a}{\\object{\\*\\objdata 0102}{\\result r}}b")), u"ab");
    EXPECT_EQ(textOf(page("a{\\header head}{\\footer foot}{\\footnote note}b")), u"ab");
    EXPECT_EQ(textOf(page("a{\\*\\generator Riched20 10.0}{\\*\\bkmkstart x}b")), u"ab");
}

TEST(RtfReaderDestinations, UnknownGroupWithoutStarKeepsItsText)
{
    EXPECT_EQ(textOf(page("a{\\someformatting b}c")), u"abc");
}

TEST(RtfReaderDestinations, BinaryDataIsSkippedByItsByteCount)
{
    EXPECT_EQ(textOf(page("a{\\pict\\bin6 }{\\\\x}}b")), u"ab");
    EXPECT_EQ(textOf(page("a\\bin3 {}\\b")), u"ab");
    EXPECT_EQ(textOf(page("a\\bin999999999999 {}")), u"a"); // runs off the end
}

TEST(RtfReaderDestinations, FieldKeepsItsResultAndDropsItsInstruction)
{
    EXPECT_EQ(textOf(page("see {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}} now")),
              u"see link now");
    EXPECT_EQ(textOf(page("{\\field{\\fldinst PAGE}{\\fldrslt 3}}")), u"3");
}

TEST(RtfReaderDestinations, UprTakesItsUnicodePart)
{
    EXPECT_EQ(textOf(page("{\\upr{ansi text}{\\*\\ud{uni\\u8364?}}}")), u"uni\u20AC");
}

TEST(RtfReaderDestinations, HiddenTextIsKeptButIsNoPartOfTheText)
{
    const Document doc = read(page("a{\\v hidden}b\\v c\\v0 d"));
    EXPECT_EQ(PlainText(doc), u"abd");
    ASSERT_EQ(doc.paragraphs[0].runs.size(), 5u);
    EXPECT_EQ(doc.paragraphs[0].runs[1].text, u"hidden");
    EXPECT_TRUE(doc.paragraphs[0].runs[1].format.hidden);
    EXPECT_TRUE(doc.paragraphs[0].runs[3].format.hidden);
    EXPECT_FALSE(doc.paragraphs[0].runs[4].format.hidden);
}

TEST(RtfReaderDestinations, ListMarkersAreDropped)
{
    EXPECT_EQ(textOf(page("{\\pntext\\f0 1.\\tab}one\\par{\\listtext\\pard\\plain \\'95\\tab}two")), u"one\ntwo");
}

TEST(RtfReaderFonts, FontTableGivesRunsTheirFontNames)
{
    const Document doc = read("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss{\\*\\panose "
                              "020b0604}Arial;}{\\f2\\fnil\\fcharset0 Courier New;}}\\f0 a\\f2 b\\plain c}");
    EXPECT_EQ(runWith(doc, u"a").format.font, u"Times New Roman");
    EXPECT_EQ(runWith(doc, u"b").format.font, u"Courier New");
    EXPECT_EQ(runWith(doc, u"c").format.font, u"Arial"); // \plain: the \deff font
}

TEST(RtfReaderFonts, FontTableWithoutInnerBracesAsTextEditWritesIt)
{
    const Document doc = read("{\\rtf1\\ansi\\ansicpg1252\\cocoartf2638{\\fonttbl\\f0\\fswiss\\fcharset0 "
                              "Helvetica;\\f1\\fnil\\fcharset0 Menlo-Regular;}\\f0 a\\f1 b}");
    EXPECT_EQ(runWith(doc, u"a").format.font, u"Helvetica");
    EXPECT_EQ(runWith(doc, u"b").format.font, u"Menlo-Regular");
}

TEST(RtfReaderFonts, NamesOfUnknownFontsAreEmpty)
{
    EXPECT_EQ(read(page("\\f7 x")).paragraphs[0].runs[0].format.font, u"");
    EXPECT_EQ(read("{\\rtf1 x}").paragraphs[0].runs[0].format.font, u"");
}

TEST(RtfReaderFonts, FontNameInAnUnclosedTableIsTrimmed)
{
    EXPECT_EQ(read("{\\rtf1{\\fonttbl\\f0\\fswiss Arial  {\\b x}}}").paragraphs.size(), 1u);
    const Document doc = read("{\\rtf1{\\fonttbl{\\f0 Arial }{\\f1  Two  ;}}\\f0 a\\f1 b}");
    EXPECT_EQ(runWith(doc, u"a").format.font, u"Arial");
    EXPECT_EQ(runWith(doc, u"b").format.font, u"Two");
}

TEST(RtfReaderFonts, OverlongFontNameIsCutSoRunsDoNotEachCarryIt)
{
    const std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(100000, 'N') + ";}}\\f0 a\\b b}";
    const Document doc = read(rtf);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.font, std::u16string(64, u'N'));
    EXPECT_EQ(doc.paragraphs[0].runs[1].format.font, std::u16string(64, u'N'));
}

// Each code page's byte, given by a font's \fcharset (or \cpg) over the document's \ansicpg.
TEST(RtfReaderCodePages, FontCharsetWinsOverAnsiCodePage)
{
    const std::vector<std::tuple<std::string, std::string, char16_t>> cases = {
        {"\\fcharset222", "\\'a1", u'\u0E01'},        {"\\fcharset238", "\\'b9", u'\u0105'},
        {"\\fcharset204", "\\'c0", u'\u0410'},        {"\\fcharset161", "\\'c1", u'\u0391'},
        {"\\fcharset162", "\\'d0", u'\u011E'},        {"\\fcharset177", "\\'e0", u'\u05D0'},
        {"\\fcharset178", "\\'c7", u'\u0627'},        {"\\fcharset186", "\\'e0", u'\u0105'},
        {"\\fcharset163", "\\'d0", u'\u0110'},        {"\\fcharset0", "\\'e9", u'\u00E9'},
        {"\\fcharset77", "\\'8e", u'\u00E9'},         {"\\fcharset254", "\\'82", u'\u00E9'},
        {"\\fcharset255", "\\'82", u'\u00E9'},        {"\\fcharset0\\cpg1251", "\\'c0", u'\u0410'},
        {"\\cpg1253\\fcharset0", "\\'c1", u'\u0391'},
    };
    for (const auto& [charset, bytes, want] : cases) {
        SCOPED_TRACE(charset);
        std::string rtf = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Base;}{\\f1";
        rtf.append(charset).append(" X;}}\\f1 ").append(bytes).append("}");
        EXPECT_EQ(textOf(rtf), std::u16string(1, want));
    }
}

TEST(RtfReaderCodePages, AnsiCodePageServesFontsWithoutACharset)
{
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 X;}{\\f1\\fcharset1 Y;}}\\f0\\'b9\\f1\\'b9}"),
              u"\u0105\u0105");
    EXPECT_EQ(textOf("{\\rtf1\\mac \\'8e}"), u"\u00E9");
    EXPECT_EQ(textOf("{\\rtf1\\pc \\'82}"), u"\u00E9");
}

TEST(RtfReaderCodePages, DoubleByteLeadJoinsTheNextByte)
{
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'83N\\'b1}"), u"\u3042\u30AF\uFF71");
    EXPECT_EQ(textOf("{\\rtf1{\\fonttbl{\\f0\\fcharset134 S;}{\\f1\\fcharset129 K;}{\\f2\\fcharset136 B;}{\\f3"
                     "\\fcharset130 J;}}\\f0\\'c4\\'e3\\f1\\'b0\\'a1\\f2\\'a4\\'a4\\f3\\'88a}"),
              u"\u4F60\uAC00\u4E2D\uAC00");
}

// Macintosh pages, named by \ansicpg or by a font's Macintosh charset.
TEST(RtfReaderCodePages, MacintoshPagesDecode)
{
    const std::vector<std::tuple<std::string, std::string, std::u16string>> cases = {
        {"\\ansicpg10001", "\\'82\\'a0\\'b1\\'fd", u"\u3042\uFF71\u00A9"},
        {"\\ansicpg10002", "\\'a4\\'a4\\'80", u"\u4E2D\\"},
        {"\\ansicpg10003", "\\'b0\\'a1", u"\uAC00"},
        {"\\ansicpg10008", "\\'c4\\'e3\\'80\\'ff", u"\u4F60\u00FC\u2026"},
        {"\\ansicpg10004", "\\'c7", u"\u0627"},
        {"\\ansicpg10005", "\\'e0\\'a6", u"\u05D0\u20AA"},
        {"\\ansicpg10006", "\\'c1", u"\u039D"},
        {"\\ansicpg10007", "\\'80\\'df", u"\u0410\u044F"},
        {"\\ansicpg10029", "\\'8a", u"\u00E4"},
        {"\\mac", "\\'8e", u"\u00E9"},
        {"{\\fonttbl{\\f0\\fcharset78 J;}}\\f0", "\\'82\\'a0", u"\u3042"},
        {"{\\fonttbl{\\f0\\fcharset89 R;}}\\f0", "\\'80", u"\u0410"},
        {"{\\fonttbl{\\f0\\fcharset88 E;}}\\f0", "\\'8a", u"\u00E4"},
    };
    for (const auto& [header, bytes, want] : cases) {
        SCOPED_TRACE(header);
        EXPECT_EQ(textOf("{\\rtf1" + header + " " + bytes + "}"), want);
    }
}

TEST(RtfReaderTokens, BracketSymbolsAreBrackets)
{
    EXPECT_EQ(textOf(page("\\[label\\] and \\{\\}")), u"[label] and {}");
}

TEST(RtfReaderCodePages, LeadByteWithoutItsTrailIsReplaced)
{
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg932 a\\'82\\par b\\'82}"), u"a\uFFFD\nb\uFFFD");
}

TEST(RtfReaderCodePages, FontNamesAreDecodedInTheirOwnCodePage)
{
    const Document doc = read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
                              "\\f0 x}");
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.font, u"\uFF2D\uFF33 \u660E\u671D");
}

TEST(RtfReaderCodePages, SymbolFontB7IsABullet)
{
    EXPECT_EQ(textOf("{\\rtf1{\\fonttbl{\\f0 A;}{\\f3\\froman\\fcharset2 Symbol;}}\\f3\\'b7\\f0  x}"), u"\u2022 x");
}

TEST(RtfReaderColours, ColourTableGivesBgrValuesAndIndexZeroIsAutomatic)
{
    const Document doc =
        read(page("{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}\\cf1 red\\cf2 blue\\cf0 auto"
                  "\\cf9 none"));
    EXPECT_EQ(runWith(doc, u"red").format.colour, 0x0000FFu);
    EXPECT_EQ(runWith(doc, u"blue").format.colour, 0xFF8000u);
    EXPECT_EQ(runWith(doc, u"auto").format.colour, kAutomaticColour);
    EXPECT_EQ(runWith(doc, u"none").format.colour, kAutomaticColour);
}

TEST(RtfReaderFormatting, StylesHaveOnAndOffForms)
{
    const Document doc = read(page("\\b b\\b0 \\i i\\i0 \\ul u\\ulnone \\uldb d\\ul0 \\strike s\\strike0 "
                                   "\\b\\i\\ul\\strike all\\plain none"));
    EXPECT_TRUE(runWith(doc, u"b").format.bold);
    EXPECT_TRUE(runWith(doc, u"i").format.italic);
    EXPECT_TRUE(runWith(doc, u"u").format.underline);
    EXPECT_TRUE(runWith(doc, u"d").format.underline);
    EXPECT_TRUE(runWith(doc, u"s").format.strikeout);
    const CharFormat all = runWith(doc, u"all").format;
    EXPECT_TRUE(all.bold && all.italic && all.underline && all.strikeout);
    const CharFormat none = runWith(doc, u"none").format;
    EXPECT_FALSE(none.bold || none.italic || none.underline || none.strikeout);
    EXPECT_EQ(PlainText(doc), u"biudsallnone");
}

TEST(RtfReaderFormatting, GroupsRestoreTheFormatAround)
{
    const Document doc = read(page("\\fs22 a{\\b\\fs44\\f0 b}c"));
    ASSERT_EQ(doc.paragraphs[0].runs.size(), 3u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format, doc.paragraphs[0].runs[2].format);
    EXPECT_EQ(doc.paragraphs[0].runs[1].format.pointSize, 22);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.pointSize, 11);
}

TEST(RtfReaderFormatting, SizeIsInHalfPointsAndZeroWhenNotGiven)
{
    const Document doc = read(page("a\\fs17 b\\fs c\\plain d"));
    EXPECT_EQ(runWith(doc, u"a").format.pointSize, 0);
    EXPECT_EQ(runWith(doc, u"b").format.pointSize, 8.5);
    EXPECT_EQ(runWith(doc, u"c").format.pointSize, 12);
    EXPECT_EQ(runWith(doc, u"d").format.pointSize, 0);
}

TEST(RtfReaderFormatting, FormatChangesThatChangeNothingDoNotSplitARun)
{
    const Document doc = read("{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 A;}}{\\colortbl;\\red1\\green2\\blue3;\\red1\\green2"
                              "\\blue3;}\\f0\\cf1 one\\f1\\cf2  two{\\b0  three}\\v0  four}");
    ASSERT_EQ(doc.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].text, u"one two three four");
}

TEST(RtfReaderParagraphs, AlignmentAndPardReset)
{
    const Document doc = read(page("\\qc c\\par r\\qr\\par\\pard l\\par\\qj j\\par\\qd d\\par\\pard\\ql x"));
    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_EQ(doc.paragraphs[0].alignment, Alignment::Centre);
    EXPECT_EQ(doc.paragraphs[1].alignment, Alignment::Right); // the properties at its \par count
    EXPECT_EQ(doc.paragraphs[2].alignment, Alignment::Left);
    EXPECT_EQ(doc.paragraphs[3].alignment, Alignment::Justified);
    EXPECT_EQ(doc.paragraphs[4].alignment, Alignment::Other);
    EXPECT_EQ(doc.paragraphs[5].alignment, Alignment::Left);
}

TEST(RtfReaderParagraphs, LineBreaksTabsAndBreaks)
{
    EXPECT_EQ(read(page("a\\line b\\tab c")).paragraphs[0].runs[0].text, u"a\vb\tc");
    EXPECT_EQ(textOf(page("a\\sect b\\page c\\column d")), u"a\nb\nc\nd");
    EXPECT_EQ(textOf(page("a\tb")), u"a\tb"); // a literal tab byte
}

TEST(RtfReaderParagraphs, EmptyParagraphAfterTheLastParIsNotKept)
{
    EXPECT_EQ(read(page("a\\par")).paragraphs.size(), 1u);
    EXPECT_EQ(read(page("a\\par\\par")).paragraphs.size(), 2u);
    EXPECT_EQ(read(page("a\\par b")).paragraphs.size(), 2u);
    EXPECT_EQ(read(page("\\par")).paragraphs.size(), 1u);
}

TEST(RtfReaderParagraphs, NothingReadIsOneEmptyParagraph)
{
    for (const std::string_view rtf : {"", "{\\rtf1}", "{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}}", "}}}", "\\"}) {
        const Document doc = read(rtf);
        ASSERT_EQ(doc.paragraphs.size(), 1u) << rtf;
        EXPECT_TRUE(doc.paragraphs[0].runs.empty()) << rtf;
    }
}

TEST(RtfReaderParagraphs, TableCellsBecomeTabsAndRowsParagraphs)
{
    EXPECT_EQ(textOf(page("\\trowd\\cellx1000\\cellx2000 \\pard\\intbl a\\cell b\\cell\\row \\trowd\\cellx1000 "
                          "\\pard\\intbl c\\cell\\row after")),
              u"a\tb\nc\nafter");
    EXPECT_EQ(textOf(page("a\\nestcell{\\nonesttables\\tab}b\\nestcell{\\*\\nesttableprops\\trowd\\nestrow}"
                          "{\\nonesttables\\par}c")),
              u"a\tb\nc");
}

TEST(RtfReaderBullets, RichTextControlBulletsLastUntilPard)
{
    const Document doc = read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}}"
                              "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                              "\\fi-360\\li720\\f0 First\\par{\\pntext\\f1\\'B7\\tab}Second\\par\\pard Third\\par}");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.paragraphs[0].numbering, Numbering::Bullet);
    EXPECT_EQ(doc.paragraphs[1].numbering, Numbering::Bullet);
    EXPECT_EQ(doc.paragraphs[2].numbering, Numbering::None);
    EXPECT_EQ(PlainText(doc), u"First\nSecond\nThird");
}

TEST(RtfReaderBullets, NumberedPnIsOtherNumbering)
{
    const Document doc = read(page("{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec"
                                   "{\\pntxta.}}\\fi-360\\li720 one\\par{\\*\\pn\\pnlvlcont}cont\\par"));
    EXPECT_EQ(doc.paragraphs[0].numbering, Numbering::Other);
    EXPECT_EQ(doc.paragraphs[1].numbering, Numbering::None);
}

TEST(RtfReaderBullets, ListTableTellsBulletsFromNumbers)
{
    const std::string tables =
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}"
        "{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid100}{\\list{\\listlevel\\levelnfc0}\\listid200}}"
        "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}{\\listoverride\\ls2\\listid200}}";
    const Document doc = read(page(tables + "\\pard\\ls1\\ilvl0{\\listtext\\pard\\plain\\'95\\tab}bullet\\par"
                                            "\\pard\\ls1\\ilvl1{\\listtext 1.\\tab}nested number\\par"
                                            "\\pard\\ls2{\\listtext 1.\\tab}number\\par"
                                            "\\pard plain\\par"));
    ASSERT_EQ(doc.paragraphs.size(), 4u);
    EXPECT_EQ(doc.paragraphs[0].numbering, Numbering::Bullet);
    EXPECT_EQ(doc.paragraphs[1].numbering, Numbering::Other);
    EXPECT_EQ(doc.paragraphs[2].numbering, Numbering::Other);
    EXPECT_EQ(doc.paragraphs[3].numbering, Numbering::None);
}

TEST(RtfReaderBullets, ListWithoutTableIsJudgedByItsMarker)
{
    const Document doc =
        read(page("\\pard\\ls5{\\listtext \\'b7\\tab}dot\\par\\pard\\ls6{\\listtext 10.\\tab}ten\\par"));
    EXPECT_EQ(doc.paragraphs[0].numbering, Numbering::Bullet);
    EXPECT_EQ(doc.paragraphs[1].numbering, Numbering::Other);
}

TEST(RtfReaderBadInput, TruncatedFileKeepsWhatWasRead)
{
    EXPECT_EQ(textOf("{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}\\f0 partial te"), u"partial te");
    for (const std::string_view cut : {"{\\rtf1 a\\", "{\\rtf1 a\\'", "{\\rtf1 a\\'e", "{\\rtf1 a\\u", "{\\rtf1 a\\u-",
                                       "{\\rtf1 a\\bin", "{\\rtf1 a{\\*", "{\\rtf1 a\\uc9\\u8364"})
        EXPECT_EQ(textOf(cut).substr(0, 1), u"a") << cut;
}

TEST(RtfReaderBadInput, TextAfterAPrematureCloseIsKeptButNotAfterTheLastBrace)
{
    EXPECT_EQ(textOf("{\\rtf1 one}} two {\\b three}\r\n\0junk"sv), u"one two three");
}

TEST(RtfReaderBadInput, DeepNestingIsReadWithoutRecursion)
{
    const std::string deep = "{\\rtf1 " + std::string(200000, '{') + "\\b deep" + std::string(200000, '}') + " after}";
    const Document doc = read(deep);
    EXPECT_EQ(PlainText(doc), u"deep after");
    EXPECT_TRUE(runWith(doc, u"deep").format.bold);
    EXPECT_FALSE(runWith(doc, u"after").format.bold);
}

TEST(RtfReaderBadInput, ManyDestinationsAndEscapesStayLinear)
{
    // Each of these would take minutes if a token cost time in proportion to what came before.
    std::string many = "{\\rtf1 ";
    for (int i = 0; i < 30000; ++i)
        many += "{\\*\\x}{\\fonttbl{\\f" + std::to_string(i) + " F;}}\\f" + std::to_string(i) + "\\u8364?\\'e9\\par";
    many += "}";
    const Document doc = read(many);
    EXPECT_EQ(doc.paragraphs.size(), 30000u);
    EXPECT_EQ(doc.paragraphs.back().runs[0].text, u"\u20AC\u00E9");
}

TEST(RtfReaderBadInput, RandomBytesNeverBreakTheReader)
{
    std::mt19937 rng(20160725);
    const std::string alphabet = "{}\\*'abcdefuv0123456789- ;\r\n\x80\xff";
    for (int round = 0; round < 2000; ++round) {
        std::string junk = round % 2 == 0 ? "{\\rtf1" : "";
        const int length = static_cast<int>(rng() % 300);
        for (int i = 0; i < length; ++i)
            junk += round % 3 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
        const Document doc = read(junk);
        ASSERT_FALSE(doc.paragraphs.empty());
        EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc) << junk;
    }
}

} // namespace
