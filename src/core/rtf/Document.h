#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The page as the editor and the RTF codec see it: paragraphs of formatted runs, with the tables,
// lists, links, pictures and notes they refer to.
namespace quillory::rtf {

// 0x00BBGGRR; a value with the top bit set is a system colour (0xFF000000 + index).
using Colour = std::uint32_t;
// The editor's automatic text colour (system colour 8, window text).
inline constexpr Colour kAutomaticColour = 0xFF000008u;

// What a picture or a note reference stands as in its run's text.
inline constexpr char16_t kObjectChar = u'\uFFFC';

enum class Alignment : std::uint8_t { Left, Centre, Right, Justified, Other };
// What the formatting toolbar shows of a paragraph; a paragraph of a list (Paragraph::list) is
// Bullet when its level is, Other when numbered.
enum class Numbering : std::uint8_t { None, Bullet, Other };

struct CharFormat {
    std::u16string font;  // family name; empty = the document default
    double pointSize = 0; // 0 = the default size
    Colour colour = kAutomaticColour;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool hidden = false;    // kept and written back, never shown nor part of the text
    std::uint32_t link = 0; // 1-based in Document::links; 0 = not a link

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// Text of one format. Line breaks inside a paragraph are U+000B, tabs U+0009.
struct Run {
    std::u16string text;
    CharFormat format;
    // A picture or a note reference is a run of its own whose text is kObjectChar; 1-based in
    // Document::pictures and Document::notes, 0 = neither.
    std::uint32_t picture = 0;
    std::uint32_t note = 0;

    friend bool operator==(const Run&, const Run&) = default;
};

// How a paragraph in a table ends: inside its cell, with the cell, or with the cell and its row.
enum class CellEnd : std::uint8_t { None, Cell, Row };

// Tables are written into the paragraphs themselves, as RTF does: a paragraph at depth d > 0 stands
// in a cell of a table nested d deep (1 = a table in the page). The last paragraph of a cell ends
// it; the last of a row ends the row and names the row's cell layout.
struct Paragraph {
    Alignment alignment = Alignment::Left;
    Numbering numbering = Numbering::None;
    std::vector<Run> runs;
    std::uint32_t row = 0;  // on a row's last paragraph: 1-based in Document::rows
    std::uint16_t list = 0; // 1-based in Document::lists; 0 = none, or a bullet or number of its own
    std::uint8_t level = 0; // in the list, 0-based
    std::uint8_t depth = 0;
    CellEnd end = CellEnd::None;

    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

struct TableCell {
    int right = 0; // right edge in twips from the row's start
    bool borders = false;

    friend bool operator==(const TableCell&, const TableCell&) = default;
};

struct TableRow {
    std::vector<TableCell> cells;

    friend bool operator==(const TableRow&, const TableRow&) = default;
};

// A row's cells fitted to `count`: cut, or continued with cells as wide as its last (an inch when it
// has none).
[[nodiscard]] std::vector<TableCell> FittedCells(const std::vector<TableCell>& cells, std::size_t count);

enum class ListKind : std::uint8_t { None, Bullet, Decimal, LowerLetter, UpperLetter, LowerRoman, UpperRoman };

inline constexpr char16_t kDefaultBullet = u'\u2022';

struct ListLevel {
    ListKind kind = ListKind::Decimal;
    int start = 1;
    char16_t bullet = kDefaultBullet; // what a Bullet level shows, as its writer gave it

    friend bool operator==(const ListLevel&, const ListLevel&) = default;
};

// A list with its own numbering; a paragraph at level n counts on from the last one at that level
// and restarts the deeper levels.
struct List {
    std::vector<ListLevel> levels;

    friend bool operator==(const List&, const List&) = default;
};

// Png and Jpeg are shown; the others are kept as they came and shown as a box of their size.
enum class PictureKind : std::uint8_t { Unknown, Png, Jpeg, Emf, Wmf, MacPict, Dib, Bitmap, Os2Metafile };

struct Picture {
    PictureKind kind = PictureKind::Unknown;
    int kindParam = 0; // the number after \wmetafile, \dibitmap, \wbitmap, \pmmetafile
    int width = 0;     // \picw, \pich: pixels for bitmaps, 0.01 mm for metafiles
    int height = 0;
    int goalWidth = 0; // \picwgoal, \pichgoal: twips; 0 = not given
    int goalHeight = 0;
    int scaleX = 100; // percent
    int scaleY = 100;
    std::string data; // the picture's bytes, exactly

    friend bool operator==(const Picture&, const Picture&) = default;
};

struct Note {
    std::vector<Paragraph> paragraphs;
    bool endnote = false;

    friend bool operator==(const Note&, const Note&) = default;
};

// Always at least one paragraph once read; an empty page is one empty paragraph.
struct Document {
    std::vector<Paragraph> paragraphs{};
    std::vector<TableRow> rows{};
    std::vector<List> lists{};
    std::vector<std::u16string> links{}; // link targets
    std::vector<Picture> pictures{};
    std::vector<Note> notes{};

    friend bool operator==(const Document&, const Document&) = default;
};

// Renumbers the lists and links in the order the page first uses them (a note's where it is referred
// to, after the paragraph's own list), and the rows in the order a reader meets their ends (a
// paragraph's row after the notes it refers to), leaving out those nothing uses. References
// outside the tables become 0.
void CompactReferences(Document& doc);

// The text of a document: paragraphs joined by "\n", line breaks as "\n", tabs kept; a table's
// cells separated by tabs, a row a line. Hidden text, pictures and notes are left out.
[[nodiscard]] std::u16string PlainText(const Document& doc);

// The page as plain text for the clipboard and text files: PlainText with each list item's marker
// ("1.", "a.", "•") and a tab before it, a note's number in brackets where it is referred to, and
// the notes' text after the page.
[[nodiscard]] std::u16string ExportText(const Document& doc);

// A picture's size on the page in twips: its goal size times its scale, or its own size when no goal
// is given (pixels at 96 per inch, metafile units of 0.01 mm). 0 when it has none.
[[nodiscard]] int DisplayWidth(const Picture& picture) noexcept;
[[nodiscard]] int DisplayHeight(const Picture& picture) noexcept;

} // namespace quillory::rtf
