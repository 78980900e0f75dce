#include "core/rtf/Document.h"

#include "core/rtf/ListMarkers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace quillory::rtf {

namespace {

// Joins the paragraphs; tables become lines of tab-separated cells. The separators inside a table
// wait for the next text, so a row's empty last cells leave no tabs behind.
class TextBuilder {
public:
    TextBuilder(const Document& doc, bool labelled) : m_doc(doc), m_labelled(labelled)
    {
        std::size_t size = 0;
        for (const Paragraph& p : doc.paragraphs)
            for (const Run& r : p.runs)
                size += r.text.size() + 1;
        m_out.reserve(size);
    }

    std::u16string build()
    {
        const std::vector<std::u16string> markers =
            m_labelled ? ListMarkers(m_doc.paragraphs, m_doc.lists) : std::vector<std::u16string>();
        bool first = true;
        bool rowEnded = false; // the paragraph before ended a row of a table in the page
        for (std::size_t i = 0; i < m_doc.paragraphs.size(); ++i) {
            const Paragraph& p = m_doc.paragraphs[i];
            const bool newLine = p.depth == 0 || rowEnded || first || m_doc.paragraphs[i - 1].depth == 0;
            if (newLine) {
                if (!first)
                    m_out += u'\n';
                m_tabs = 0;
                m_space = false;
            }
            first = false;
            if (m_labelled && !markers[i].empty()) {
                separate();
                m_out += markers[i];
                m_out += u'\t';
            }
            runs(p);
            rowEnded = false;
            if (p.depth > 0) {
                if (p.end == CellEnd::None)
                    m_space = true;
                else if (p.end == CellEnd::Cell || p.depth > 1)
                    ++m_tabs;
                else
                    rowEnded = true;
            }
        }
        if (m_labelled)
            notes();
        return std::move(m_out);
    }

private:
    void separate()
    {
        if (m_tabs > 0)
            m_out.append(static_cast<std::size_t>(m_tabs), u'\t');
        else if (m_space)
            m_out += u' ';
        m_tabs = 0;
        m_space = false;
    }

    void runs(const Paragraph& p)
    {
        for (const Run& r : p.runs) {
            if (r.format.hidden || r.text.empty())
                continue;
            if (r.picture != 0)
                continue;
            if (r.note != 0) {
                if (m_labelled) {
                    separate();
                    m_out += noteMark(r.note);
                }
                continue;
            }
            separate();
            const std::size_t from = m_out.size();
            m_out += r.text;
            const char16_t lineBreak = p.depth > 0 ? u' ' : u'\n';
            std::replace(m_out.begin() + static_cast<std::ptrdiff_t>(from), m_out.end(), u'\v', lineBreak);
        }
    }

    static std::u16string noteMark(std::uint32_t note)
    {
        const std::string digits = std::to_string(note);
        return u'[' + std::u16string(digits.begin(), digits.end()) + u']';
    }

    void notes()
    {
        for (std::size_t n = 0; n < m_doc.notes.size(); ++n) {
            m_out += u'\n';
            m_out += noteMark(static_cast<std::uint32_t>(n + 1));
            m_out += u' ';
            bool firstParagraph = true;
            for (const Paragraph& p : m_doc.notes[n].paragraphs) {
                if (!firstParagraph)
                    m_out += u' ';
                firstParagraph = false;
                m_tabs = 0;
                m_space = false;
                for (const Run& r : p.runs) {
                    if (r.format.hidden || r.picture != 0 || r.note != 0)
                        continue;
                    const std::size_t from = m_out.size();
                    m_out += r.text;
                    std::replace(m_out.begin() + static_cast<std::ptrdiff_t>(from), m_out.end(), u'\v', u' ');
                }
            }
        }
    }

    const Document& m_doc;
    const bool m_labelled;
    std::u16string m_out;
    int m_tabs = 0;
    bool m_space = false;
};

int scaled(int goal, int own, bool metafile, int scale) noexcept
{
    double twips = goal > 0 ? goal : own > 0 ? (metafile ? own * 1440.0 / 2540.0 : own * 15.0) : 0.0;
    if (scale > 0)
        twips = twips * scale / 100.0;
    // Clamped before rounding: lround of a value beyond long is undefined.
    return static_cast<int>(std::lround(std::clamp(twips, 0.0, static_cast<double>(std::numeric_limits<int>::max()))));
}

bool isMetafile(PictureKind kind) noexcept
{
    return kind == PictureKind::Emf || kind == PictureKind::Wmf || kind == PictureKind::MacPict ||
           kind == PictureKind::Os2Metafile;
}

// Walks paragraphs in the order a reader meets them, a note's where it is first referred to.
template <typename Visit>
void walk(Document& doc, std::vector<Paragraph>& paragraphs, Visit& visit, std::vector<bool>& seen)
{
    for (Paragraph& p : paragraphs) {
        visit(p);
        for (Run& r : p.runs) {
            visit(r);
            if (r.note != 0 && r.note <= doc.notes.size() && !seen[r.note - 1u]) {
                seen[r.note - 1u] = true;
                walk(doc, doc.notes[r.note - 1u].paragraphs, visit, seen);
            }
        }
        visit.ended(p);
    }
}

} // namespace

void CompactReferences(Document& doc)
{
    if (doc.lists.empty() && doc.links.empty() && doc.rows.empty())
        return;
    std::vector<std::uint32_t> listTo(doc.lists.size() + 1, 0);
    std::vector<std::uint32_t> rowTo(doc.rows.size() + 1, 0);
    std::vector<TableRow> rows;
    std::vector<std::uint32_t> linkTo(doc.links.size() + 1, 0);
    std::vector<List> lists;
    std::vector<std::u16string> links;
    struct Visit {
        Document& doc;
        std::vector<std::uint32_t>& listTo;
        std::vector<std::uint32_t>& linkTo;
        std::vector<List>& lists;
        std::vector<std::u16string>& links;
        std::vector<std::uint32_t>& rowTo;
        std::vector<TableRow>& rows;
        // A row is numbered where a reader meets its end: after the notes its last paragraph
        // refers to, whose own rows end first.
        void ended(Paragraph& p)
        {
            if (p.row == 0 || p.row > doc.rows.size()) {
                p.row = 0;
                return;
            }
            if (rowTo[p.row] == 0) {
                rows.push_back(doc.rows[p.row - 1u]);
                rowTo[p.row] = static_cast<std::uint32_t>(rows.size());
            }
            p.row = rowTo[p.row];
        }
        void operator()(Paragraph& p)
        {
            if (p.list == 0 || p.list > doc.lists.size()) {
                p.list = 0;
                return;
            }
            if (listTo[p.list] == 0) {
                lists.push_back(doc.lists[p.list - 1u]);
                listTo[p.list] = static_cast<std::uint32_t>(lists.size());
            }
            p.list = static_cast<std::uint16_t>(listTo[p.list]);
        }
        void operator()(Run& r)
        {
            std::uint32_t& link = r.format.link;
            if (link == 0 || link > doc.links.size()) {
                link = 0;
                return;
            }
            if (linkTo[link] == 0) {
                links.push_back(doc.links[link - 1u]);
                linkTo[link] = static_cast<std::uint32_t>(links.size());
            }
            link = linkTo[link];
        }
    } visit{doc, listTo, linkTo, lists, links, rowTo, rows};
    std::vector<bool> seen(doc.notes.size(), false);
    walk(doc, doc.paragraphs, visit, seen);
    for (std::size_t n = 0; n < doc.notes.size(); ++n) {
        if (!seen[n]) {
            seen[n] = true;
            walk(doc, doc.notes[n].paragraphs, visit, seen);
        }
    }
    doc.lists = std::move(lists);
    doc.links = std::move(links);
    doc.rows = std::move(rows);
}

std::vector<TableCell> FittedCells(const std::vector<TableCell>& cells, std::size_t count)
{
    std::vector<TableCell> out(cells.begin(),
                               cells.begin() + static_cast<std::ptrdiff_t>(std::min(count, cells.size())));
    while (out.size() < count) {
        const std::size_t n = out.size();
        long long width = n >= 2   ? static_cast<long long>(out[n - 1].right) - out[n - 2].right
                          : n == 1 ? out[0].right
                                   : 0;
        if (width <= 0)
            width = 1440;
        const long long right = (n > 0 ? out[n - 1].right : 0) + width;
        out.push_back(TableCell{static_cast<int>(std::min<long long>(right, std::numeric_limits<int>::max())), false});
    }
    return out;
}

std::u16string PlainText(const Document& doc)
{
    return TextBuilder(doc, false).build();
}

std::u16string ExportText(const Document& doc)
{
    return TextBuilder(doc, true).build();
}

int DisplayWidth(const Picture& picture) noexcept
{
    return scaled(picture.goalWidth, picture.width, isMetafile(picture.kind), picture.scaleX);
}

int DisplayHeight(const Picture& picture) noexcept
{
    return scaled(picture.goalHeight, picture.height, isMetafile(picture.kind), picture.scaleY);
}

} // namespace quillory::rtf
