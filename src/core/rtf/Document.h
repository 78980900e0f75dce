#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The page as the editor and the RTF codec see it: paragraphs of formatted runs.
namespace quillory::rtf {

// 0x00BBGGRR; a value with the top bit set is a system colour (0xFF000000 + index).
using Colour = std::uint32_t;
// The editor's automatic text colour (system colour 8, window text).
inline constexpr Colour kAutomaticColour = 0xFF000008u;

enum class Alignment : std::uint8_t { Left, Centre, Right, Justified, Other };
enum class Numbering : std::uint8_t { None, Bullet, Other };

struct CharFormat {
    std::u16string font;  // family name; empty = the document default
    double pointSize = 0; // 0 = the default size
    Colour colour = kAutomaticColour;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// Text of one format. Line breaks inside a paragraph are U+000B, tabs U+0009.
struct Run {
    std::u16string text;
    CharFormat format;

    friend bool operator==(const Run&, const Run&) = default;
};

struct Paragraph {
    Alignment alignment = Alignment::Left;
    Numbering numbering = Numbering::None;
    std::vector<Run> runs;

    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

// Always at least one paragraph once read; an empty page is one empty paragraph.
struct Document {
    std::vector<Paragraph> paragraphs;

    friend bool operator==(const Document&, const Document&) = default;
};

// The plain text of a document: paragraphs joined by "\n", line breaks as "\n", tabs kept.
[[nodiscard]] std::u16string PlainText(const Document& doc);

} // namespace quillory::rtf
