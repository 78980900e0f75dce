#pragma once

#include <cstddef>
#include <vector>

#include <QTextCharFormat>
#include <QTextCursor>

#include "core/rtf/Document.h"

class QTextDocument;
class QTextList;

namespace quillory::richedit::detail {

// Grids wider than this (rows whose cells hardly share an edge) are laid out cell after cell.
inline constexpr std::size_t kMaxColumns = 64;

// A cell of a table being built: its paragraphs, its layout and where it stands in the grid.
struct TableCellSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    rtf::TableCell layout;
    int column = 0;
    int span = 1;
};
using TableRowCells = std::vector<TableCellSpan>;

// The columns a run of rows needs: the edges their cells end at, while these rise along each row and
// stay few, else as many as the widest row has cells.
struct Grid {
    std::vector<int> edges;
    std::size_t widest = 0;
    bool increasing = true;

    void add(const TableRowCells& row);
    [[nodiscard]] std::size_t columns() const noexcept;
};

// Builds a page into a document at a cursor that stands in an empty block, which takes the first
// paragraph: tables as QTextTable, lists as QTextList, links as anchors, pictures as images, hidden
// text and note references as objects, the notes in a frame after the page.
class PageBuilder {
public:
    // `document` is the cursor's: it receives the pictures' images.
    PageBuilder(QTextCursor& cursor, const rtf::Document& page, QTextDocument& document);
    PageBuilder(const PageBuilder&) = delete;
    PageBuilder& operator=(const PageBuilder&) = delete;

    // The page; its notes too unless `withNotes` is false (see buildNotes).
    void build(bool withNotes = true);
    // The page's notes alone, after those the document already holds, numbered on from them; the
    // page's note references are numbered alike (build, with withNotes false, then this).
    void buildNotes();
    // The highest note number the document holds.
    [[nodiscard]] static int lastNote(const QTextDocument& document);

private:
    void flow(const std::vector<rtf::Paragraph>& paragraphs, std::size_t begin, std::size_t end, int depth);
    void table(const std::vector<rtf::Paragraph>& paragraphs, std::size_t begin, std::size_t end, int depth);
    [[nodiscard]] std::vector<TableRowCells> tableRows(const std::vector<rtf::Paragraph>& paragraphs, std::size_t begin,
                                                       std::size_t end, int depth) const;
    void layOutTable(const std::vector<TableRowCells>& rows, std::size_t first, std::size_t last, const Grid& grid,
                     const std::vector<rtf::Paragraph>& paragraphs, int depth);
    void paragraph(const rtf::Paragraph& p);
    void list(const rtf::Paragraph& p);
    void runs(const rtf::Paragraph& p);
    void notes();
    void markFiller();
    [[nodiscard]] QTextCharFormat charFormat(const rtf::CharFormat& format) const;

    QTextCursor& m_cursor;
    const rtf::Document& m_page;
    QTextDocument& m_document;
    bool m_fresh = true;                           // the cursor's block is empty and takes the next paragraph
    std::vector<std::vector<QTextList*>> m_levels; // of each list of the page, by level
    std::vector<int> m_listIds;
    QTextList* m_own = nullptr; // bullets and numbers of no list of the page
    rtf::Numbering m_ownNumbering = rtf::Numbering::None;
    int m_noteOffset = 0; // the page's note n is the document's n + m_noteOffset
    int m_note = 0;       // building note m_note's paragraphs, 1-based in the document
    bool m_label = false; // the note's number goes before its next paragraph
};

} // namespace quillory::richedit::detail
