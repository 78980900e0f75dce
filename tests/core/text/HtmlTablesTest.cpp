#include "core/text/HtmlTables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace quillory::text;

std::u16string repeat(std::u16string_view piece, int times)
{
    std::u16string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(HtmlTables, GridsAreMeasuredAsAParserBuildsThem)
{
    struct Case {
        std::u16string html;
        std::size_t cells, grid;
    };
    const Case cases[] = {
        {u"<p>no table</p>", 0, 0},
        {u"<table><tr><td>a<td>b</tr><tr><td>c</td></tr></table>", 3, 4},
        {u"<TABLE><TR><TD COLSPAN=\"3\">a</TD></TR><tr><td>b</td></tr></TABLE>", 2, 6},
        {u"<table><tr><td rowspan='4'>a</td></tr></table>", 1, 4},
        {u"<table><tr><td colspan=999999>a</td></tr></table>", 1, 20480},
        // A nested table costs its own grid; a table in a comment costs nothing.
        {u"<table><tr><td><table><tr><td>x<td>y</table></td></tr></table><!-- <table><tr><td> -->", 3, 3},
        // Never closed: measured at the end; cells outside a table make one.
        {u"<table><tr><td>a<td>b", 2, 2},
        {u"<ul><li>x<td>a<td>b</td><tr><td>c", 3, 4},
    };
    for (const Case& c : cases) {
        const HtmlTableCost cost = MeasureHtmlTables(c.html);
        EXPECT_EQ(cost.cells, c.cells) << std::string(c.html.begin(), c.html.end());
        EXPECT_EQ(cost.grid, c.grid) << std::string(c.html.begin(), c.html.end());
    }
}

TEST(HtmlTables, AWideRowOverManyNarrowOnesIsNotAffordable)
{
    // 110 KB of HTML that a parser would make into 18 million cells.
    const std::u16string bomb =
        u"<table><tr>" + repeat(u"<td></td>", 6000) + u"</tr>" + repeat(u"<tr><td></td></tr>", 3000) + u"</table>";
    EXPECT_FALSE(AffordableTables(MeasureHtmlTables(bomb)));
    EXPECT_FALSE(AffordableTables(MeasureHtmlTables(u"<table>" + repeat(u"<tr><td colspan=20000>", 50))));
    // A spreadsheet's thousand rows of twenty columns is a real table.
    const std::u16string sheet =
        u"<table>" + repeat(u"<tr>" + repeat(u"<td>1</td>", 20) + u"</tr>", 1000) + u"</table>";
    EXPECT_TRUE(AffordableTables(MeasureHtmlTables(sheet)));
}

} // namespace
