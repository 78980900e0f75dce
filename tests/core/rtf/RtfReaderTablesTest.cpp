#include "core/rtf/Rtf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Tables as word processors write them: a row's layout, its cells, rows nested in cells, and the
// shapes LibreOffice and pandoc give them.
namespace {

using namespace quillory::rtf;

Document read(std::string_view rtf)
{
    return ReadRtf(rtf);
}

std::string page(std::string_view body)
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Calibri;}}" + std::string(body) + "}";
}

// depth, end, text of each paragraph: "1C:a" is a paragraph at depth 1 that ends a cell.
std::vector<std::string> shape(const Document& doc)
{
    std::vector<std::string> out;
    for (const Paragraph& p : doc.paragraphs) {
        std::string s = std::to_string(p.depth) +
                        (p.end == CellEnd::Row    ? "R"
                         : p.end == CellEnd::Cell ? "C"
                                                  : "-") +
                        ":";
        for (const Run& r : p.runs)
            for (const char16_t c : r.text)
                s += static_cast<char>(c);
        out.push_back(s);
    }
    return out;
}

using Shape = std::vector<std::string>;

TEST(RtfReaderTables, CellsEndParagraphsAndRowsEndTheirLastCell)
{
    const Document doc = read(page("\\trowd\\cellx1000\\clbrdrt\\brdrs\\clbrdrb\\brdrnone\\cellx2500 "
                                   "\\pard\\intbl a\\cell b\\par c\\cell\\row \\pard after\\par"));
    EXPECT_EQ(shape(doc), (Shape{"1C:a", "1-:b", "1R:c", "0-:after"}));
    ASSERT_EQ(doc.paragraphs[2].row, 1u);
    EXPECT_EQ(doc.rows[0].cells, (std::vector<TableCell>{{1000, false}, {2500, true}}));
    EXPECT_EQ(PlainText(doc), u"a\tb c\nafter");
}

TEST(RtfReaderTables, RowLayoutIsFittedToTheCellsTheRowHas)
{
    const Document doc = read(page("\\trowd\\cellx500\\cellx1500 \\intbl a\\cell b\\cell c\\cell\\row"
                                   "\\trowd\\cellx700\\cellx900\\cellx1100 \\intbl d\\cell\\row"));
    ASSERT_EQ(doc.rows.size(), 2u);
    EXPECT_EQ(doc.rows[0].cells, (std::vector<TableCell>{{500, false}, {1500, false}, {2500, false}}));
    EXPECT_EQ(doc.rows[1].cells, (std::vector<TableCell>{{700, false}}));
}

// Each case: the body, and the paragraphs it gives.
TEST(RtfReaderTables, WritersShapesGiveTheSameCells)
{
    const std::vector<std::pair<std::string, Shape>> cases = {
        // pandoc: each cell's paragraph ends with \par, then \cell in a group around it.
        {"{\\trowd\\cellx100\\cellx200\\intbl{{\\pard\\intbl A1\\par}\\cell}{{\\pard\\intbl "
         "B1\\par}\\cell}\\intbl\\row}",
         {"1C:A1", "1R:B1"}},
        // Text after the last \cell is one more cell.
        {"\\trowd\\cellx100\\intbl a\\cell b\\row", {"1C:a", "1R:b"}},
        // Empty cells.
        {"\\trowd\\cellx100\\cellx200\\intbl\\cell\\cell\\row\\pard x", {"1C:", "1R:", "0-:x"}},
        // An empty paragraph of a cell that \par ended stays when \cell ends the one after it.
        {"\\trowd\\cellx100\\intbl a\\par\\par\\cell\\row", {"1-:a", "1R:"}},
        // Nested as Word and LibreOffice write it, the outer cell ending after the nested table.
        {"\\trowd\\cellx900\\intbl out\\par\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx300"
         "\\cellx600\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\itap1 \\cell\\row",
         {"1-:out", "2C:n1", "2R:n2", "1R:"}},
        // LibreOffice leaves the outer cell and row open when a nested table ends them: the next
        // paragraph outside the table closes them.
        {"\\trowd\\cellx900\\intbl B2\\par\\pard\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd"
         "\\cellx300\\nestrow}{\\nonesttables\\par}\\pard after\\par",
         {"1-:B2", "2C:n1", "2R:n2", "1R:", "0-:after"}},
        // A table the file never ends is ended with it.
        {"\\trowd\\cellx100\\intbl a\\cell b", {"1C:a", "1R:b"}},
    };
    for (const auto& [body, want] : cases) {
        SCOPED_TRACE(body);
        const Document doc = read(page(body));
        EXPECT_EQ(shape(doc), want);
        for (const Paragraph& p : doc.paragraphs)
            EXPECT_EQ(p.row != 0, p.end == CellEnd::Row);
    }
}

TEST(RtfReaderTables, NestedTablesGiveOneLinePerOuterRow)
{
    const Document doc = read(page("\\trowd\\cellx900\\intbl x\\cell\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*"
                                   "\\nesttableprops\\trowd\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\cell\\row "
                                   "\\pard y\\par"));
    EXPECT_EQ(PlainText(doc), u"x\tn1\tn2\ny");
}

} // namespace

namespace {

// A row of thousands of cells would make every row of its table as wide where the table is laid
// out; past the cap the row goes on in its last cell, its text kept.
TEST(RtfReaderTables, ARowPastTheCapGoesOnInItsLastCell)
{
    std::string row = "\\trowd\\intbl ";
    for (int c = 0; c < 6000; ++c)
        row += "a\\cell ";
    row += "\\row";
    const Document doc = ReadRtf("{\\rtf1" + row + "\\pard next}");
    std::size_t cells = 0;
    std::u16string text;
    for (const Paragraph& p : doc.paragraphs) {
        cells += p.end != CellEnd::None;
        for (const quillory::rtf::Run& r : p.runs)
            text += r.text;
    }
    EXPECT_EQ(cells, 512u);
    EXPECT_EQ(text.size(), 6000u + 4u);
    ASSERT_EQ(doc.rows.size(), 1u);
    EXPECT_EQ(doc.rows[0].cells.size(), 512u);
    EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
}

TEST(RtfReaderTables, ParametersAtTheEndsOfTheirRangeSaturate)
{
    // The shape's extent is right - left: far beyond int, read as the largest.
    const Document doc = ReadRtf("{\\rtf1{\\shp{\\*\\shpinst\\shpleft-2147483648\\shpright2147483647\\shptop5"
                                 "\\shpbottom-99999999999{\\sp{\\sn pib}{\\sv{\\pict\\pngblip\\picw1\\pich1 00}}}}}}");
    ASSERT_EQ(doc.pictures.size(), 1u);
    EXPECT_EQ(doc.pictures[0].goalWidth, 2147483647);
    EXPECT_EQ(doc.pictures[0].goalHeight, 0);
    Picture huge;
    huge.goalWidth = 2147483647;
    huge.scaleX = 2147483647;
    EXPECT_EQ(DisplayWidth(huge), 2147483647);
}

} // namespace
