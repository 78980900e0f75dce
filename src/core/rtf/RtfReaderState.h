#pragma once

#include "core/rtf/Document.h"
#include "core/rtf/UnitBuffer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The reader's state: what each group carries and what text is gathered into. Shared by the reader's
// source files only (RtfReader.h).
namespace quillory::rtf::detail {

// Deeper groups are still read, in the state of the deepest one kept.
inline constexpr std::size_t kMaxDepth = 3000;
// 1638 points, the largest size word processors offer; Qt lays text much larger out for minutes.
inline constexpr int kMaxHalfPoints = 3276;
// Every run carries its font's name, so a long one would be copied into every run; Windows allows 31.
inline constexpr std::size_t kMaxFontName = 64;
// Tables nested deeper than this are read as tables this deep.
inline constexpr int kMaxTableDepth = 15;
inline constexpr std::size_t kMaxFieldInstruction = 4096;
// Word processors stop at 63 columns and 9 list levels; a row's cells beyond this cap join its last
// cell, levels beyond 9 are read as the ninth.
inline constexpr int kMaxRowCells = 512;
inline constexpr std::size_t kMaxListLevels = 9;

enum class Dest : std::uint8_t {
    Body,
    Skip,
    Marker,    // \pntext, \listtext: the list marker a reader without lists would show
    LevelText, // a list level's \leveltext: its length, then what it shows
    FontTable,
    ColourTable,
    ListTable,
    OverrideTable,
    Pn,
    Upr,
    NestProps,
    FieldInst,
    Picture,
    PictureHolder, // \shppict, or a shape's picture property: what it holds is shown
    Shape,
    ShapeProperty,
    ShapeName,
};

// What closing a group finishes.
enum Closes : std::uint8_t { kClosesPn = 1, kClosesPicture = 2, kClosesNote = 4, kClosesShape = 8 };

struct CharState {
    int font = -1; // font number; -1 = the \deff font
    int halfPoints = 0;
    int colour = 0;
    std::uint32_t link = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;

    friend bool operator==(const CharState&, const CharState&) = default;
};

struct ParaState {
    Alignment alignment = Alignment::Left;
    Numbering pn = Numbering::None; // from \pn
    std::uint8_t depth = 0;         // \intbl, \itap
    int ls = 0;
    int ilvl = 0;
};

struct Group {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Body;
    Dest uprOuter = Dest::Body;
    std::uint16_t uc = 1;
    std::uint8_t closes = 0;
};

struct Font {
    int codePage = 0; // 0 = the document's
    bool cpgGiven = false;
    std::u16string name;
};

struct SourceLevel {
    int format = 0; // \levelnfc
    int start = 1;
    char16_t bullet = kDefaultBullet; // the first character of \leveltext, for bullet levels
};

struct SourceList {
    std::vector<SourceLevel> levels;
};

// What decides a run's format: runs are compared by this before the resolved CharFormat.
struct FormatKey {
    int font = 0;
    int halfPoints = 0;
    int colour = 0;
    std::uint32_t link = 0;
    std::uint8_t flags = 0;

    friend bool operator==(const FormatKey&, const FormatKey&) = default;
};

struct CodePage {
    int number = 0;
    const char16_t* high = nullptr; // bytes 0x80..0xFF standing alone
};

struct PendingRun {
    std::size_t start = 0;    // in the paragraph's text
    std::uint32_t format = 0; // in the reader's formats
    std::uint32_t picture = 0;
    std::uint32_t note = 0;
};

// Where text goes: the page, or a note while its group is read.
struct Flow {
    std::vector<Paragraph>* paragraphs = nullptr;
    UnitBuffer text; // the paragraph being read
    std::vector<PendingRun> runs;
    FormatKey runKey;
    unsigned runGeneration = 0;
    bool formatDirty = true;
    bool markerSeen = false;                     // the paragraph being read has a marker of its own
    char16_t high = 0;                           // a high surrogate waiting for its partner
    int openDepth = 0;                           // tables with a row open, from the outermost in
    std::array<int, kMaxTableDepth + 1> cells{}; // cells ended in the open row at each depth
    std::vector<TableCell> rowCells;             // \trowd ... \cellx of the flow's tables
    std::vector<TableCell> nestCells;            // the same in \nesttableprops
};

// Formats already resolved, by their key; a miss resolves again, so the table stays small.
struct CachedFormat {
    FormatKey key;
    unsigned generation = 0;
    std::uint32_t format = 0;
    bool used = false;
};

} // namespace quillory::rtf::detail
