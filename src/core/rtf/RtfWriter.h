#pragma once

#include "core/rtf/Document.h"
#include "core/rtf/ListMarkers.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The writer, shared by the source files that write its parts (RtfWriter.cpp: header, paragraphs,
// formats and text; RtfWriterObjects.cpp: tables, lists, pictures, links and notes). Not a public
// interface: use WriteRtf (Rtf.h).
namespace quillory::rtf::detail {

// Output written through a pointer into room made ahead, rather than a character at a time.
class RtfOut {
public:
    explicit RtfOut(std::size_t expected) { m_buffer.resize(expected); }

    // Room for at least `count` more bytes; write them, then commit the end of what was written.
    [[nodiscard]] char* room(std::size_t count)
    {
        if (m_buffer.size() - m_length < count)
            m_buffer.resize(std::max(m_buffer.size() * 2, m_length + count));
        return m_buffer.data() + m_length;
    }

    void commit(const char* end) noexcept { m_length = static_cast<std::size_t>(end - m_buffer.data()); }

    void append(std::string_view s)
    {
        if (s.empty())
            return;
        char* p = room(s.size());
        std::memcpy(p, s.data(), s.size());
        commit(p + s.size());
    }

    void operator+=(std::string_view s) { append(s); }
    void operator+=(char c) { append(std::string_view(&c, 1)); }

    [[nodiscard]] std::string take()
    {
        m_buffer.resize(m_length);
        return std::move(m_buffer);
    }

private:
    std::string m_buffer; // written up to m_length
    std::size_t m_length = 0;
};

// The character format as written so far, in table indexes.
struct WriterFormat {
    int font = -1;
    int halfPoints = 0;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
};

class RtfWriter {
public:
    explicit RtfWriter(const Document& doc);
    std::string write();

private:
    static std::size_t expectedSize(const Document& doc);

    // RtfWriter.cpp
    void collectTables();
    void collect(const std::vector<Paragraph>& paragraphs, std::unordered_map<Colour, int>& colours);
    void flow(const std::vector<Paragraph>& paragraphs);
    void paragraphStart(const Paragraph& p, const Paragraph* previous, const ListItem& item);
    void listMarker(const Paragraph& p, const ListItem& item);
    void pnText(const ListItem& item);
    void runs(const Paragraph& p);
    void format(const CharFormat& f);
    void text(std::u16string_view s);
    void fontName(std::u16string_view s);
    void escaped(std::u16string_view s, bool semicolons);
    void word(std::string_view w);
    void number(int value);

    // RtfWriterObjects.cpp
    void listTables();
    [[nodiscard]] bool validList(const Paragraph& p) const noexcept;
    void rowStart(const std::vector<Paragraph>& paragraphs, std::size_t first);
    void cellsOf(const Paragraph* last, std::size_t count);
    void paragraphEnd(const Paragraph& p, const Paragraph* previous, bool lastOfNote);
    void openLink(std::uint32_t link);
    void closeLink();
    void picture(const Picture& picture);
    void note(const Note& note);

    const Document& m_doc;
    RtfOut m_out;
    std::vector<std::u16string> m_fonts;
    std::unordered_map<std::u16string, int> m_fontIndex;
    int m_symbolFont = -1;
    bool m_lists = false; // some paragraph is in a list of the document
    std::vector<Colour> m_colours;
    std::unordered_map<Colour, int> m_colourIndex;
    const std::u16string* m_lastFont = nullptr;
    int m_lastFontIndex = 0;
    Colour m_lastColour = kAutomaticColour;
    int m_lastColourIndex = 0;
    WriterFormat m_state;
    bool m_delimit = false;

    std::uint32_t m_link = 0;       // the hyperlink field open, 0 = none
    WriterFormat m_stateBeforeLink; // restored when its group closes
    bool m_rowOpen = false;         // a row of a table in the flow has been started
    std::vector<int> m_cells;       // cells written in the open row at each depth
    bool m_noteMark = false;        // the note's own mark goes before its first text
    int m_noteDepth = 0;
};

} // namespace quillory::rtf::detail
