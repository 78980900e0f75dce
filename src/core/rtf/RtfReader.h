#pragma once

#include "core/rtf/CodePages.h"
#include "core/rtf/Document.h"
#include "core/rtf/RtfKeyword.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The reader's state machine, shared by the source files that handle its parts (RtfReader.cpp: tokens,
// text and formats; RtfReaderTables.cpp, RtfReaderLists.cpp, RtfReaderObjects.cpp). Not a public
// interface: use ReadRtf (Rtf.h).
namespace quillory::rtf::detail {

// Deeper groups are still read, in the state of the deepest one kept.
inline constexpr std::size_t kMaxDepth = 3000;
inline constexpr int kMaxHalfPoints = 32767;
// Every run carries its font's name, so a long one would be copied into every run; Windows allows 31.
inline constexpr std::size_t kMaxFontName = 64;
// Tables nested deeper than this are read as tables this deep.
inline constexpr int kMaxTableDepth = 15;
inline constexpr std::size_t kMaxFieldInstruction = 4096;

enum class Dest : std::uint8_t {
    Body,
    Skip,
    Marker, // \pntext, \listtext: the list marker a reader without lists would show
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

// A growing buffer of UTF-16 units that, unlike std::u16string, does not clear what it is about
// to overwrite.
class UnitBuffer {
public:
    [[nodiscard]] std::size_t size() const noexcept { return m_size; }
    [[nodiscard]] bool empty() const noexcept { return m_size == 0; }
    [[nodiscard]] const char16_t* data() const noexcept { return m_data.get(); }
    void clear() noexcept { m_size = 0; }

    void push_back(char16_t u)
    {
        if (m_size == m_capacity)
            grow(m_size + 1);
        m_data[m_size++] = u;
    }

    // Room for `count` more units, to be written by the caller.
    [[nodiscard]] char16_t* extend(std::size_t count)
    {
        if (m_capacity - m_size < count)
            grow(m_size + count);
        char16_t* out = m_data.get() + m_size;
        m_size += count;
        return out;
    }

private:
    void grow(std::size_t need)
    {
        const std::size_t capacity = std::max(need, m_capacity * 2 + 16);
        std::unique_ptr<char16_t[]> next(new char16_t[capacity]);
        if (m_size > 0)
            std::memcpy(next.get(), m_data.get(), m_size * sizeof(char16_t));
        m_data = std::move(next);
        m_capacity = capacity;
    }

    std::unique_ptr<char16_t[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// Where text goes: the page, or a note while its group is read.
struct Flow {
    std::vector<Paragraph>* paragraphs = nullptr;
    UnitBuffer text; // the paragraph being read
    std::vector<PendingRun> runs;
    FormatKey runKey;
    unsigned runGeneration = 0;
    bool formatDirty = true;
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

class RtfReader {
public:
    explicit RtfReader(std::string_view in);
    Document read();

private:
    Group& group() noexcept { return m_stack.back(); }
    Paragraph& paragraph() noexcept { return m_flow.paragraphs->back(); }

    // Tokens and groups (RtfReader.cpp).
    void openGroup();
    void closeGroup();
    void popGroup();
    void control();
    void symbol(unsigned char c);
    void controlWord(Keyword k, bool hasParam, int param);
    void formatWord(Group& g, Keyword k, bool hasParam, int param);
    void specialCharacter(Keyword k);
    template <typename Change> void setChar(Group& g, Change change);
    void setAnsiCodePage(int codePage);
    void skipBinary(int count);
    void unicode(int param);

    // Text and runs (RtfReader.cpp).
    void text();
    void bodyText();
    void fontText();
    void collectText(); // markers, field instructions, shape property names
    void byteOut(unsigned char b);
    void flushLead();
    const CodePage& codePage();
    const Font* fontOf(int number) const;
    void unitOut(char16_t u);
    void resolveHigh();
    void put(char16_t u);
    void appendAscii(const char* p, std::size_t count);
    FormatKey keyOf(const CharState& c) const noexcept;
    CharFormat resolve(const CharState& c) const;
    std::uint32_t formatOf(const FormatKey& key, const CharState& c);
    void ensureRun();
    void applyParagraphState(Paragraph& p);
    [[nodiscard]] bool paragraphEmpty() const noexcept;
    void closeParagraph();
    // `depth` -1: the paragraph's own (\intbl, \itap).
    void endParagraph(CellEnd end = CellEnd::None, int depth = -1);
    void startFont(int number);
    void finishFontName() { m_fontNameDone = true; }
    void addColour();
    Document finish();
    void finishFlow(const ParaState& last);

    // Tables (RtfReaderTables.cpp).
    void tableWord(Group& g, Keyword k, int param);
    void endRow(int depth);
    void closeRowsAbove(int depth, bool currentOpen);
    void closeRow(int depth, bool currentOpen);
    void attachRow(Paragraph& last, int depth);

    // Lists (RtfReaderLists.cpp).
    void listWord(Group& g, Keyword k, int param);
    void linkOverride();
    void applyNumbering(const ParaState& para, Paragraph& p);
    const SourceList* sourceList(int ls);
    std::uint16_t modelList(int ls, const SourceList& source);

    // Pictures, shapes, links and notes (RtfReaderObjects.cpp).
    void objectWord(Group& g, Keyword k, bool hasParam, int param);
    void pictureText();
    void pictureBinary(int count);
    void finishPicture();
    void emitObject(std::uint32_t picture, std::uint32_t note);
    void fieldResult(Group& g);
    std::uint32_t linkIndex(std::u16string target);
    void beginNote(Group& g);
    void finishNote(const ParaState& last);

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::size_t m_lastBrace = 0;
    std::vector<Group> m_stack;
    std::size_t m_overflow = 0;
    bool m_ignorable = false;
    int m_skipUnits = 0;

    Document m_doc;
    Flow m_flow;
    Flow m_outerFlow; // the page's while a note is read
    bool m_inNote = false;
    std::vector<CharFormat> m_formats;
    std::array<CachedFormat, 64> m_formatCache{};

    int m_ansiCp = kCodePageAnsi;
    int m_deff = 0;
    std::vector<Font> m_fonts;
    std::unordered_map<int, std::size_t> m_fontIndex;
    int m_font = -1; // the font table entry being read
    bool m_fontNameDone = true;
    unsigned m_generation = 0;
    int m_cpMemoFont = std::numeric_limits<int>::min();
    unsigned m_cpMemoGeneration = 0;
    CodePage m_cp;
    unsigned char m_lead = 0;
    int m_leadCp = 0;

    std::vector<Colour> m_colours;
    bool m_colourGiven = false;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;

    std::u16string m_collected; // the text of a marker, field instruction or shape property name
    std::u16string m_marker;    // the last list marker's text
    std::vector<SourceList> m_lists;
    int m_level = -1;
    std::unordered_map<int, std::size_t> m_listById;
    std::unordered_map<int, int> m_lsToList;
    std::unordered_map<int, std::uint16_t> m_lsToModel; // 0: no list of the model
    int m_lastLs = 0;
    int m_lastList = -1; // the list of m_lastLs in m_lists, -1 = none
    int m_overrideList = 0;
    int m_overrideLs = 0;

    bool m_cellBorders = false;
    bool m_borderSide = false;

    std::u16string m_fieldInstruction;
    std::unordered_map<std::u16string, std::uint32_t> m_linkIndex;
    Picture m_picture;
    int m_pictureNibble = -1; // the first hex digit of a byte whose second is still to come
    bool m_pictureInShape = false;
    bool m_inShape = false;
    int m_shapeLeft = 0;
    int m_shapeTop = 0;
    int m_shapeRight = 0;
    int m_shapeBottom = 0;
};

} // namespace quillory::rtf::detail
