#include "core/rtf/Rtf.h"

#include "core/Utf.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

// Whatever a page holds must come back from its file unchanged.
namespace {

using namespace quillory::rtf;
using RtfRun = quillory::rtf::Run; // Run alone is GoogleTest's, inside a test

class RandomDocuments {
public:
    explicit RandomDocuments(unsigned seed) : m_rng(seed) {}

    Document next()
    {
        Document doc;
        const int paragraphs = 1 + pick(8);
        for (int i = 0; i < paragraphs; ++i) {
            Paragraph& p = doc.paragraphs.emplace_back();
            p.alignment = static_cast<Alignment>(pick(5));
            p.numbering = static_cast<Numbering>(pick(3));
            const int runs = pick(6);
            for (int r = 0; r < runs; ++r) {
                Run run{text(), format()};
                if (run.text.empty())
                    continue;
                if (!p.runs.empty() && p.runs.back().format == run.format)
                    p.runs.back().text += run.text; // a page never holds two neighbours of one format
                else
                    p.runs.push_back(std::move(run));
            }
        }
        return doc;
    }

    std::u16string text()
    {
        // Every character the writer escapes or encodes in its own way, and plain letters.
        static const std::array<std::u16string_view, 24> pieces = {u"a",
                                                                   u"Word",
                                                                   u" ",
                                                                   u"  ",
                                                                   u"\\",
                                                                   u"{",
                                                                   u"}",
                                                                   u";",
                                                                   u"?",
                                                                   u"\t",
                                                                   u"\v",
                                                                   u"0123",
                                                                   u"\u00E9\u00FC\u00DF",
                                                                   u"\u20AC\u201C\u201D",
                                                                   u"\u00A0\u00AD",
                                                                   u"\u0416\u4E2D\u3042",
                                                                   u"\uFFFD\uFFFF\uE000",
                                                                   u"\U0001F4A9",
                                                                   u"\U00010348",
                                                                   u"\u0001\u001F",
                                                                   u"\r\n",
                                                                   u"\u0081\u008D",
                                                                   u"Reminder{20160725-1500}",
                                                                   u"\\par \\b x"};
        std::u16string s;
        const int count = pick(7);
        for (int i = 0; i < count; ++i)
            s += pieces[static_cast<std::size_t>(pick(static_cast<int>(pieces.size())))];
        return s;
    }

    CharFormat format()
    {
        static const std::array<std::u16string_view, 7> fonts = {u"",
                                                                 u"Calibri",
                                                                 u"Courier New",
                                                                 u"Times New Roman",
                                                                 u"\u00DCml Sans",
                                                                 u"\u5FAE\u8F6F\u96C5\u9ED1",
                                                                 u"Odd;{Name}\\"};
        static const std::array<double, 7> sizes = {0, 8.5, 10, 11, 12, 72, 1638};
        CharFormat f;
        f.font = fonts[static_cast<std::size_t>(pick(static_cast<int>(fonts.size())))];
        f.pointSize = sizes[static_cast<std::size_t>(pick(static_cast<int>(sizes.size())))];
        f.colour = pick(3) == 0 ? kAutomaticColour : static_cast<Colour>(m_rng() & 0xFFFFFF);
        f.bold = pick(2) == 1;
        f.italic = pick(2) == 1;
        f.underline = pick(2) == 1;
        f.strikeout = pick(2) == 1;
        return f;
    }

private:
    int pick(int bound) { return static_cast<int>(m_rng() % static_cast<unsigned>(bound)); }

    std::mt19937 m_rng;
};

// Pages with tables nested in tables, lists, links, pictures, hidden text and notes, in the form the
// reader gives them: lists and links numbered in the order of use, rows in the order they end.
class StructuredDocuments {
public:
    explicit StructuredDocuments(unsigned seed) : m_rng(seed), m_text(seed + 1) {}

    Document next()
    {
        Document doc;
        m_doc = &doc;
        blocks(doc.paragraphs, 0, false, 1 + pick(6));
        return doc;
    }

private:
    int pick(int bound) { return static_cast<int>(m_rng() % static_cast<unsigned>(bound)); }

    void blocks(std::vector<Paragraph>& out, int depth, bool inNote, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (depth < 3 && pick(4) == 0)
                table(out, depth + 1, inNote);
            else
                out.push_back(paragraph(depth, inNote));
        }
    }

    void table(std::vector<Paragraph>& out, int depth, bool inNote)
    {
        for (int row = 1 + pick(2); row > 0; --row) {
            const int cells = 1 + pick(3);
            TableRow layout;
            for (int cell = 0; cell < cells; ++cell) {
                for (int extra = pick(3); extra > 0; --extra)
                    out.push_back(paragraph(depth, inNote));
                if (depth < 3 && pick(5) == 0)
                    table(out, depth + 1, inNote);
                Paragraph last = paragraph(depth, inNote);
                last.end = cell + 1 == cells ? CellEnd::Row : CellEnd::Cell;
                out.push_back(std::move(last));
                layout.cells.push_back(TableCell{(cell + 1) * (500 + pick(2000)), pick(2) == 1});
            }
            m_doc->rows.push_back(std::move(layout));
            out.back().row = static_cast<std::uint32_t>(m_doc->rows.size());
        }
    }

    Paragraph paragraph(int depth, bool inNote)
    {
        Paragraph p;
        p.depth = static_cast<std::uint8_t>(depth);
        p.alignment = static_cast<Alignment>(pick(5));
        switch (pick(4)) {
        case 0:
            break;
        case 1:
            p.numbering = pick(2) == 0 ? Numbering::Bullet : Numbering::Other;
            break;
        default:
            listItem(p);
            break;
        }
        for (int r = pick(5); r > 0; --r) {
            const int kind = pick(8);
            if (kind == 0) {
                Run picture{std::u16string(1, kObjectChar), format(), 0, 0};
                const auto pictureKind = static_cast<PictureKind>(pick(9));
                // Only the metafiles and bitmaps of Windows carry a number with their kind.
                const bool numbered = pictureKind == PictureKind::Wmf || pictureKind == PictureKind::Dib ||
                                      pictureKind == PictureKind::Bitmap || pictureKind == PictureKind::Os2Metafile;
                m_doc->pictures.push_back(
                    Picture{pictureKind, numbered ? pick(10) : 0, pick(500), pick(500), pick(3) * 700, pick(3) * 500,
                            100 - pick(2) * 50, 100,
                            std::string(static_cast<std::size_t>(1 + pick(200)), static_cast<char>(pick(256)))});
                picture.picture = static_cast<std::uint32_t>(m_doc->pictures.size());
                p.runs.push_back(std::move(picture));
            } else if (kind == 1 && !inNote) {
                Run reference{std::u16string(1, kObjectChar), format(false), 0, 0};
                m_doc->notes.emplace_back();
                const std::size_t index = m_doc->notes.size();
                reference.note = static_cast<std::uint32_t>(index);
                p.runs.push_back(std::move(reference));
                Note note;
                note.endnote = pick(2) == 1;
                blocks(note.paragraphs, 0, true, 1 + pick(2));
                // A note's empty last paragraph is not told from its end.
                if (note.paragraphs.size() > 1 && note.paragraphs.back().depth == 0 &&
                    note.paragraphs.back().runs.empty())
                    note.paragraphs.back().runs.push_back(Run{u"end", CharFormat{}});
                m_doc->notes[index - 1] = std::move(note);
            } else {
                std::u16string text = m_text.text();
                if (text.empty())
                    continue;
                Run run{std::move(text), format()};
                if (!p.runs.empty() && p.runs.back().picture == 0 && p.runs.back().note == 0 &&
                    p.runs.back().format == run.format)
                    p.runs.back().text += run.text;
                else
                    p.runs.push_back(std::move(run));
            }
        }
        return p;
    }

    void listItem(Paragraph& p)
    {
        std::vector<List>& lists = m_doc->lists;
        if (lists.empty() || pick(3) == 0) {
            List list;
            for (int level = 1 + pick(3); level > 0; --level)
                list.levels.push_back(ListLevel{static_cast<ListKind>(pick(7)), pick(5) - 1});
            list.levels[0].kind = ListKind::Decimal;
            lists.push_back(std::move(list));
            p.list = static_cast<std::uint16_t>(lists.size());
        } else {
            p.list = static_cast<std::uint16_t>(1 + pick(static_cast<int>(lists.size())));
        }
        const List& list = lists[p.list - 1u];
        p.level = static_cast<std::uint8_t>(pick(static_cast<int>(list.levels.size())));
        if (list.levels[p.level].kind == ListKind::None)
            p.level = 0;
        p.numbering = list.levels[p.level].kind == ListKind::Bullet ? Numbering::Bullet : Numbering::Other;
    }

    CharFormat format(bool linked = true)
    {
        CharFormat f = m_text.format();
        f.hidden = pick(6) == 0;
        if (linked && pick(4) == 0) {
            std::vector<std::u16string>& links = m_doc->links;
            if (links.empty() || pick(2) == 0) {
                std::u16string target = u"http://example.org/";
                target.append(1, static_cast<char16_t>(u'a' + links.size() % 26));
                target.append(pick(2) == 0 ? u"\\\"\u20AC{}" : u"");
                target.append(links.size() / 26 + 1, u'x');
                links.push_back(std::move(target));
                f.link = static_cast<std::uint32_t>(links.size());
            } else {
                f.link = static_cast<std::uint32_t>(1 + pick(static_cast<int>(links.size())));
            }
        }
        return f;
    }

    std::mt19937 m_rng;
    RandomDocuments m_text;
    Document* m_doc = nullptr;
};

// Appended piece by piece: GCC 12 at -O3 warns (wrongly) about "literal" + string.
std::string describe(const std::vector<Paragraph>& paragraphs)
{
    std::string out;
    for (const Paragraph& p : paragraphs) {
        out.append("[").append(std::to_string(static_cast<int>(p.alignment)));
        out.append("/").append(std::to_string(static_cast<int>(p.numbering)));
        out.append(" d").append(std::to_string(p.depth)).append(" e").append(std::to_string(static_cast<int>(p.end)));
        out.append(" r").append(std::to_string(p.row)).append(" l").append(std::to_string(p.list));
        out.append(".").append(std::to_string(p.level));
        for (const Run& r : p.runs) {
            out.append(" <").append(quillory::Utf16ToUtf8(r.format.font));
            out.append(" ").append(std::to_string(r.format.pointSize));
            out.append(" L").append(std::to_string(r.format.link)).append(r.format.hidden ? " H" : "");
            out.append(" P").append(std::to_string(r.picture)).append(" N").append(std::to_string(r.note));
            out.append("> ").append(quillory::Utf16ToUtf8(r.text));
        }
        out += "]\n";
    }
    return out;
}

std::string describe(const Document& doc)
{
    std::string out = describe(doc.paragraphs);
    for (std::size_t n = 0; n < doc.notes.size(); ++n) {
        out.append("note ").append(std::to_string(n + 1)).append(doc.notes[n].endnote ? " (end)\n" : "\n");
        out.append(describe(doc.notes[n].paragraphs));
    }
    for (const TableRow& row : doc.rows) {
        out.append("row");
        for (const TableCell& cell : row.cells)
            out.append(" ").append(std::to_string(cell.right)).append(cell.borders ? "b" : "");
        out.append("\n");
    }
    for (const List& list : doc.lists) {
        out.append("list");
        for (const ListLevel& level : list.levels)
            out.append(" ")
                .append(std::to_string(static_cast<int>(level.kind)))
                .append("@")
                .append(std::to_string(level.start));
        out.append("\n");
    }
    for (const std::u16string& link : doc.links)
        out.append("link ").append(quillory::Utf16ToUtf8(link)).append("\n");
    for (const Picture& picture : doc.pictures) {
        out.append("picture ").append(std::to_string(static_cast<int>(picture.kind)));
        out.append(" ").append(std::to_string(picture.kindParam));
        out.append(" ").append(std::to_string(picture.width)).append("x").append(std::to_string(picture.height));
        out.append(" ")
            .append(std::to_string(picture.goalWidth))
            .append("x")
            .append(std::to_string(picture.goalHeight));
        out.append(" ").append(std::to_string(picture.data.size())).append("\n");
    }
    return out;
}

TEST(RtfRoundTrip, RandomDocumentsSurviveWritingAndReading)
{
    RandomDocuments documents(20160725);
    for (int i = 0; i < 3000; ++i) {
        const Document doc = documents.next();
        const std::string rtf = WriteRtf(doc);
        const Document back = ReadRtf(rtf);
        ASSERT_EQ(back, doc) << "document " << i << "\n"
                             << describe(doc) << "written as\n"
                             << rtf << "read as\n"
                             << describe(back);
        ASSERT_EQ(WriteRtf(back), rtf);
    }
}

TEST(RtfRoundTrip, TablesListsLinksPicturesAndNotesSurviveWritingAndReading)
{
    StructuredDocuments documents(15);
    for (int i = 0; i < 400; ++i) {
        const Document doc = documents.next();
        const std::string rtf = WriteRtf(doc);
        const Document back = ReadRtf(rtf);
        ASSERT_EQ(back, doc) << "document " << i << "\n"
                             << describe(doc) << "written as\n"
                             << rtf << "read as\n"
                             << describe(back);
        ASSERT_EQ(WriteRtf(back), rtf);
    }
}

TEST(RtfRoundTrip, EmptyParagraphsKeepTheirPlaceAndProperties)
{
    Document doc;
    for (int i = 0; i < 4; ++i) {
        Paragraph& p = doc.paragraphs.emplace_back();
        p.alignment = static_cast<Alignment>(i);
        p.numbering = static_cast<Numbering>(i % 3);
    }
    doc.paragraphs[2].runs.push_back(RtfRun{u"middle", CharFormat{}});
    EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
}

// Found by the fuzzer: a note that ends in empty paragraphs (left open to the end of the page, its
// lines ended by backslash and line break) keeps them; a row ended inside a note keeps its number.
TEST(RtfRoundTrip, NotesEndingInEmptyParagraphsOrRowsSurvive)
{
    for (const std::string_view rtf : {"\\footnote\\\r\\\r", "{\\rtf1 a{\\footnote x\\par\\par}}",
                                       // a row whose note holds a row: rows are numbered where they end
                                       "\\cell\\footnote\\cell"}) {
        const Document doc = ReadRtf(rtf);
        ASSERT_EQ(doc.notes.size(), 1u);
        EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc) << rtf;
    }
}

TEST(RtfRoundTrip, PlainTextPageBecomesRtfWithItsLines)
{
    const Document doc = ReadPage("first line\r\n\tsecond {line}\n\nfourth \xC3\xA9\n");
    ASSERT_EQ(doc.paragraphs.size(), 4u);
    EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
    EXPECT_EQ(PlainText(ReadRtf(WriteRtf(doc))), u"first line\n\tsecond {line}\n\nfourth \u00E9");
}

} // namespace
