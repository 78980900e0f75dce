#pragma once

#include <cstddef>
#include <string_view>

// What the tables of an HTML text will cost a document that lays them out as grids.
namespace quillory::text {

struct HtmlTableCost {
    std::size_t cells = 0; // the cells the text really has (td, th)
    std::size_t grid = 0;  // the cells the grids have: each table's rows times its widest row
};

// Counts the tables' cells as an HTML parser builds them: a row is as wide as its cells' column
// spans add up to, a table as long as its rows or its tallest row span reaches; rows and cells
// outside any table make one, as they do for a parser. Tags are found by name, in any case;
// comments are passed over. Linear in the text; never parses further.
[[nodiscard]] HtmlTableCost MeasureHtmlTables(std::u16string_view html) noexcept;

// Whether a document may lay those tables out: the grids stay within a small multiple of the
// cells the text has, and within a bound no real page reaches.
[[nodiscard]] bool AffordableTables(const HtmlTableCost& cost) noexcept;

} // namespace quillory::text
