#include "core/rtf/ListMarkers.h"
#include "core/rtf/Rtf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Lists of the list table: their levels, kinds and start numbers, and the markers they give.
namespace {

using namespace quillory::rtf;

const std::string kTables =
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00.;}}"
    "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}}{\\listlevel\\levelnfcn2\\levelstartat4}\\listid10}"
    "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid20}"
    "{\\list{\\listlevel\\levelnfc255\\levelstartat1}\\listid30}}"
    "{\\*\\listoverridetable{\\listoverride\\listid10\\listoverridecount0\\ls1}{\\listoverride\\listid20\\ls2}"
    "{\\listoverride\\listid30\\ls3}{\\listoverride\\listid10\\ls4}}";

Document read(std::string_view body)
{
    return ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Calibri;}}" + kTables + std::string(body) + "}");
}

TEST(RtfReaderLists, LevelsKindsAndStartsComeFromTheListTable)
{
    const Document doc = read("\\pard\\ls3 heading\\par\\pard\\ls2 dot\\par\\pard\\ls1\\ilvl0 one\\par"
                              "\\pard\\ls1\\ilvl1 sub a\\par\\pard\\ls1\\ilvl1 sub b\\par\\pard\\ls1\\ilvl2 deep\\par"
                              "\\pard\\ls1\\ilvl0 two\\par\\pard\\ls1\\ilvl1 sub again\\par\\pard\\ls4 other\\par"
                              "\\pard\\ls1\\ilvl7 clamped\\par");
    // The "none" level of the heading is no list; the model's lists are made in the order of use.
    ASSERT_EQ(doc.lists.size(), 3u);
    EXPECT_EQ(doc.lists[1].levels,
              (std::vector<ListLevel>{{ListKind::Decimal, 3}, {ListKind::LowerLetter, 1}, {ListKind::LowerRoman, 4}}));
    EXPECT_EQ(doc.paragraphs[0].list, 0u);
    EXPECT_EQ(doc.paragraphs[0].numbering, Numbering::None);
    EXPECT_EQ(doc.paragraphs[1].numbering, Numbering::Bullet);
    EXPECT_EQ(doc.paragraphs[2].numbering, Numbering::Other);
    EXPECT_EQ(doc.paragraphs[9].level, 2u);
    EXPECT_EQ(ListMarkers(doc.paragraphs, doc.lists),
              (std::vector<std::u16string>{u"", u"\u2022", u"3.", u"a.", u"b.", u"iv.", u"4.", u"a.", u"3.", u"iv."}));
    EXPECT_EQ(ExportText(doc).substr(0, 30), u"heading\n\u2022\tdot\n3.\tone\na.\tsub a\n");
}

TEST(RtfReaderLists, ListsWithoutATableAreJudgedByTheirMarkers)
{
    const Document doc = ReadRtf("{\\rtf1\\pard\\ls9{\\listtext 4.\\tab}four\\par\\pard\\ls9{\\listtext \\'b7\\tab}x}");
    EXPECT_TRUE(doc.lists.empty());
    EXPECT_EQ(doc.paragraphs[0].numbering, Numbering::Other);
    EXPECT_EQ(doc.paragraphs[1].numbering, Numbering::Bullet);
}

TEST(ListMarkers, MarkerTextOfEachKind)
{
    const std::vector<std::tuple<ListKind, int, std::u16string>> cases = {
        {ListKind::Decimal, 12, u"12."},           {ListKind::LowerLetter, 1, u"a."},
        {ListKind::LowerLetter, 28, u"bb."},       {ListKind::UpperLetter, 26, u"Z."},
        {ListKind::LowerRoman, 1994, u"mcmxciv."}, {ListKind::UpperRoman, 4, u"IV."},
        {ListKind::Bullet, 3, u"\u2022"},          {ListKind::None, 3, u""},
        {ListKind::UpperRoman, 0, u"0."},
    };
    for (const auto& [kind, number, want] : cases)
        EXPECT_EQ(MarkerText(kind, number), want) << number;
}

TEST(ListMarkers, ParagraphsOfTheirOwnCountWhileTheyFollowEachOther)
{
    std::vector<Paragraph> paragraphs(5);
    for (const int i : {0, 1, 3})
        paragraphs[static_cast<std::size_t>(i)].numbering = Numbering::Other;
    paragraphs[4].numbering = Numbering::Bullet;
    paragraphs[4].list = 7; // no such list
    EXPECT_EQ(ListMarkers(paragraphs, {}), (std::vector<std::u16string>{u"1.", u"2.", u"", u"1.", u"\u2022"}));
}

} // namespace

namespace {

TEST(RtfReaderLists, AListReferenceThatNamesNoListKeepsTheParagraphsMarker)
{
    // \ls0 with the marker a reader without lists would show: the numbers and bullets stay.
    const Document doc = read("\\pard\\ls0{\\listtext 1.\\tab}first\\par\\pard\\ls0{\\listtext \\'b7\\tab}dot\\par"
                              "\\pard\\ls0 plain\\par\\pard\\plain after");
    EXPECT_EQ(doc.paragraphs[0].numbering, Numbering::Other);
    EXPECT_EQ(doc.paragraphs[1].numbering, Numbering::Bullet);
    EXPECT_EQ(doc.paragraphs[2].numbering, Numbering::None);
    EXPECT_EQ(doc.paragraphs[3].numbering, Numbering::None);
}

TEST(RtfReaderLists, ALevelsOwnBulletIsShownAndWrittenAsGiven)
{
    const std::vector<std::pair<std::string, char16_t>> cases = {
        {"\\u9642 ?", u'\u25AA'},                                                       // as written
        {"\\u9702 ?", u'\u25E6'},  {"\\u8259 ?", u'\u2043'}, {"\\u-3913 ?", u'\u2022'}, // Symbol's bullet
        {"\\u-3929 ?", u'\u25AA'},                                                      // Wingdings' square
        {"o", u'\u25E6'},                                                               // Courier New's circle
    };
    for (const auto& [text, bullet] : cases) {
        const Document doc = ReadRtf("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01" + text +
                                     ";}}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
                                     "\\pard\\ls1 item\\par}");
        ASSERT_EQ(doc.lists.size(), 1u) << text;
        EXPECT_EQ(doc.lists[0].levels.at(0).bullet, bullet) << text;
        EXPECT_EQ(ExportText(doc), std::u16string(1, bullet) + u"\titem") << text;
        EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc) << text;
    }
}

TEST(RtfReaderLists, LevelsBeyondNineSetNothing)
{
    std::string levels;
    for (int i = 0; i < 5000; ++i)
        levels += "{\\listlevel\\levelnfc4\\levelstartat" + std::to_string(i) + "}";
    const Document doc = ReadRtf("{\\rtf1{\\*\\listtable{\\list" + levels +
                                 "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                                 "\\pard\\ls1\\ilvl4000 deep\\par}");
    ASSERT_EQ(doc.lists.size(), 1u);
    EXPECT_EQ(doc.lists[0].levels.size(), 9u);
    EXPECT_EQ(doc.paragraphs[0].level, 8u);
    EXPECT_EQ(doc.lists[0].levels[8].start, 8);
}

} // namespace
