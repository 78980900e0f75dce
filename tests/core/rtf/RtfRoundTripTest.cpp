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

private:
    int pick(int bound) { return static_cast<int>(m_rng() % static_cast<unsigned>(bound)); }

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

    std::mt19937 m_rng;
};

std::string describe(const Document& doc)
{
    std::string out;
    // Appended piece by piece: GCC 12 at -O3 warns (wrongly) about "literal" + string.
    for (const Paragraph& p : doc.paragraphs) {
        out.append("[").append(std::to_string(static_cast<int>(p.alignment)));
        out.append("/").append(std::to_string(static_cast<int>(p.numbering)));
        for (const Run& r : p.runs) {
            out.append(" <").append(quillory::Utf16ToUtf8(r.format.font));
            out.append(" ").append(std::to_string(r.format.pointSize)).append("> ");
            out.append(quillory::Utf16ToUtf8(r.text));
        }
        out += "]\n";
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

TEST(RtfRoundTrip, PlainTextPageBecomesRtfWithItsLines)
{
    const Document doc = ReadPage("first line\r\n\tsecond {line}\n\nfourth \xC3\xA9\n");
    ASSERT_EQ(doc.paragraphs.size(), 4u);
    EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
    EXPECT_EQ(PlainText(ReadRtf(WriteRtf(doc))), u"first line\n\tsecond {line}\n\nfourth \u00E9");
}

} // namespace
