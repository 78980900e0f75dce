#pragma once

#include "core/rtf/CodePages.h"
#include "core/rtf/Document.h"
#include "core/rtf/RtfKeyword.h"
#include "core/rtf/RtfReaderState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The reader's state machine, shared by the source files that handle its parts (RtfReader.cpp: tokens
// and groups; RtfReaderText.cpp, RtfReaderFormat.cpp, RtfReaderFonts.cpp, RtfReaderTables.cpp,
// RtfReaderLists.cpp, RtfReaderPictures.cpp, RtfReaderFields.cpp). Not a public interface: use ReadRtf
// (Rtf.h).
namespace quillory::rtf::detail {

class RtfReader {
public:
    explicit RtfReader(std::string_view in);
    Document read();

private:
    Group& group() noexcept { return m_stack.back(); }
    Paragraph& paragraph() noexcept { return m_flow.paragraphs->back(); }

    // Tokens, groups and the dispatch of control words (RtfReader.cpp).
    void openGroup();
    void closeGroup();
    void popGroup();
    void control();
    void symbol(unsigned char c);
    void controlWord(Keyword k, bool hasParam, int param);
    void skipBinary(int count);
    void unicode(int param);
    Document finish();

    // Text and paragraphs of the current flow (RtfReaderText.cpp).
    void text();
    void bodyText();
    void fontText();
    void collectText(); // markers, field instructions, shape property names
    void byteOut(unsigned char b);
    const CodePage& codePage();
    // A lead byte not followed by its trail byte.
    void flushLead()
    {
        if (m_lead != 0) {
            m_lead = 0;
            unitOut(u'\uFFFD');
        }
    }
    void unitOut(char16_t u);
    void resolveHigh();
    void put(char16_t u);
    void appendAscii(const char* p, std::size_t count);
    [[nodiscard]] bool paragraphEmpty() const noexcept;
    void closeParagraph();
    // `depth` -1: the paragraph's own (\intbl, \itap).
    void endParagraph(CellEnd end = CellEnd::None, int depth = -1);
    void finishFlow(const ParaState& last);

    // Character and paragraph properties, and the runs they make (RtfReaderFormat.cpp).
    void paragraphWord(Group& g, Keyword k);
    void formatWord(Group& g, Keyword k, bool hasParam, int param);
    void specialCharacter(Keyword k);
    template <typename Change> void setChar(Group& g, Change change);
    FormatKey keyOf(const CharState& c) const noexcept;
    CharFormat resolve(const CharState& c) const;
    std::uint32_t formatOf(const FormatKey& key, const CharState& c);
    void ensureRun();
    void applyParagraphState(Paragraph& p);

    // The font and colour tables and the code pages (RtfReaderFonts.cpp).
    void fontWord(Group& g, Keyword k, int param);
    static const char16_t* highHalf(int codePage);
    void setAnsiCodePage(int codePage);
    const Font* fontOf(int number) const;
    void startFont(int number);
    void finishFontName() { m_fontNameDone = true; }
    void addColour();

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
    void markerNumbering(Paragraph& p) const;
    void levelText(char16_t u);
    const SourceList* sourceList(int ls);
    std::uint16_t modelList(int ls, const SourceList& source);

    // Pictures and shapes (RtfReaderPictures.cpp).
    void pictureWord(Group& g, Keyword k, bool hasParam, int param);
    void pictureText();
    void pictureBinary(int count);
    void finishPicture();
    void emitObject(std::uint32_t picture, std::uint32_t note);

    // Fields, hyperlinks and notes (RtfReaderFields.cpp).
    void fieldWord(Group& g, Keyword k);
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
    // Nothing has come since the group opened: only there does \* mark a destination.
    bool m_groupFresh = false;
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
    std::size_t m_levelTextUnits = 0;
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
