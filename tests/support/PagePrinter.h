#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/Utf.h"
#include "core/rtf/Document.h"

// Readable failure output for whole pages: every paragraph with its table, list and runs, then the
// notes, rows, lists, links and pictures the page holds.
namespace quillory::rtf {

inline void PrintParagraphs(const std::vector<Paragraph>& paragraphs, std::ostream* os)
{
    for (const Paragraph& para : paragraphs) {
        *os << "\n  [a" << static_cast<int>(para.alignment) << " n" << static_cast<int>(para.numbering);
        if (para.depth != 0)
            *os << " d" << static_cast<int>(para.depth) << " e" << static_cast<int>(para.end) << " row" << para.row;
        if (para.list != 0)
            *os << " list" << para.list << "." << static_cast<int>(para.level);
        *os << "]";
        for (const Run& run : para.runs) {
            const CharFormat& f = run.format;
            *os << " {" << Utf16ToUtf8(f.font) << ' ' << f.pointSize << " c" << std::hex << f.colour << std::dec
                << (f.bold ? " b" : "") << (f.italic ? " i" : "") << (f.underline ? " u" : "")
                << (f.strikeout ? " s" : "") << (f.hidden ? " hidden" : "");
            if (f.link != 0)
                *os << " link" << f.link;
            if (run.picture != 0)
                *os << " picture" << run.picture;
            if (run.note != 0)
                *os << " note" << run.note;
            *os << " \"" << Utf16ToUtf8(run.text) << "\"}";
        }
    }
}

inline void PrintTo(const Document& doc, std::ostream* os)
{
    PrintParagraphs(doc.paragraphs, os);
    for (std::size_t n = 0; n < doc.notes.size(); ++n) {
        *os << "\n note " << n + 1 << (doc.notes[n].endnote ? " (end)" : "");
        PrintParagraphs(doc.notes[n].paragraphs, os);
    }
    for (const TableRow& row : doc.rows) {
        *os << "\n row";
        for (const TableCell& cell : row.cells)
            *os << ' ' << cell.right << (cell.borders ? "b" : "");
    }
    for (const List& list : doc.lists) {
        *os << "\n list";
        for (const ListLevel& level : list.levels)
            *os << ' ' << static_cast<int>(level.kind) << '@' << level.start;
    }
    for (const std::u16string& link : doc.links)
        *os << "\n link " << Utf16ToUtf8(link);
    for (const Picture& picture : doc.pictures)
        *os << "\n picture " << static_cast<int>(picture.kind) << ' ' << picture.width << 'x' << picture.height
            << " goal " << picture.goalWidth << 'x' << picture.goalHeight << " scale " << picture.scaleX << '/'
            << picture.scaleY << ' ' << picture.data.size() << " bytes";
}

} // namespace quillory::rtf
