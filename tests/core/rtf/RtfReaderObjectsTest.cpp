#include "core/rtf/Rtf.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

// Pictures, hyperlinks and notes as other programs write them.
namespace {

using namespace quillory::rtf;
using RtfRun = quillory::rtf::Run; // Run alone is GoogleTest's, inside a test

Document read(std::string_view body)
{
    return ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Calibri;}}" + std::string(body) + "}");
}

// The runs of the first paragraph that stand for pictures.
std::vector<const Run*> pictureRuns(const Document& doc)
{
    std::vector<const Run*> out;
    for (const Paragraph& p : doc.paragraphs)
        for (const Run& r : p.runs)
            if (r.picture != 0)
                out.push_back(&r);
    return out;
}

TEST(RtfReaderPictures, KindSizesAndBytesAreKept)
{
    const Document doc =
        read("a{\\pict\\pngblip\\picw40\\pich30\\picwgoal600\\pichgoal450\\picscalex50 89504E47\r\n"
             "0d0a 1a0a}b{\\pict\\wmetafile8\\picw2540\\pich1270 0102}{\\pict\\jpegblip\\bin3 \xFF\xD8\xFF}");
    ASSERT_EQ(doc.pictures.size(), 3u);
    const Picture& png = doc.pictures[0];
    EXPECT_EQ(png.kind, PictureKind::Png);
    EXPECT_EQ(png.data, "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(DisplayWidth(png), 300);
    EXPECT_EQ(DisplayHeight(png), 450);
    EXPECT_EQ(doc.pictures[1].kind, PictureKind::Wmf);
    EXPECT_EQ(doc.pictures[1].kindParam, 8);
    EXPECT_EQ(doc.pictures[1].data, "\x01\x02");
    EXPECT_EQ(DisplayWidth(doc.pictures[1]), 1440); // 0.01 mm units without a goal size
    EXPECT_EQ(doc.pictures[2].data, "\xFF\xD8\xFF");
    const std::vector<const RtfRun*> runs = pictureRuns(doc);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0]->text, std::u16string(1, kObjectChar));
    EXPECT_EQ(runs[0]->picture, 1u);
    EXPECT_EQ(PlainText(doc), u"ab");
}

TEST(RtfReaderPictures, HexDigitsGiveTheSameBytesHoweverTheyAreLaidOut)
{
    std::string bytes;
    std::string hex;
    for (int i = 0; i < 40; ++i) {
        bytes += static_cast<char>(i * 37 + 5);
        static constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[(i * 37 + 5) >> 4 & 0xF];
        hex += kDigits[(i * 37 + 5) & 0xF];
    }
    const auto every = [&](std::size_t step, std::string_view gap) {
        std::string out;
        for (std::size_t i = 0; i < hex.size(); i += step)
            out += hex.substr(i, step) + std::string(gap);
        return out;
    };
    std::string upper = hex;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::pair<const char*, std::string> cases[] = {
        {"one run", hex},
        {"upper case", upper},
        {"lines of odd length", every(13, "\r\n")},
        {"spaces and tabs", every(3, " \t")},
        {"other letters between", every(8, "xyz")},
        {"a half byte at the end", hex + "7"},
    };
    for (const auto& [name, text] : cases) {
        const Document doc = read("{\\pict\\pngblip " + text + "}");
        ASSERT_EQ(doc.pictures.size(), 1u) << name;
        EXPECT_EQ(doc.pictures[0].data, bytes) << name;
    }
}

TEST(RtfReaderPictures, OnePictureOfEachAlternativeIsShown)
{
    // Word: the picture for readers of shapes, then one for the others.
    const Document word = read("{\\*\\shppict{\\pict\\pngblip 01}}{\\nonshppict{\\pict\\wmetafile8 02}}");
    ASSERT_EQ(word.pictures.size(), 1u);
    EXPECT_EQ(word.pictures[0].data, "\x01");
    // LibreOffice: a shape whose picture property holds it, sized by the shape; its fill is not shown.
    const Document shape = read("{\\field{\\*\\fldinst SHAPE }{\\fldrslt{\\shp{\\*\\shpinst\\shpleft0\\shptop-451"
                                "\\shpright598\\shpbottom-2{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv {\\pict"
                                "\\pngblip\\picw40\\pich30 0a0b}}}{\\sp{\\sn fillBlip}{\\sv {\\pict\\pngblip 0c}}}}"
                                "{\\shprslt{\\pict\\wmetafile8 0d}}}}}");
    ASSERT_EQ(shape.pictures.size(), 1u);
    EXPECT_EQ(shape.pictures[0].data, "\x0a\x0b");
    EXPECT_EQ(shape.pictures[0].goalWidth, 598);
    EXPECT_EQ(shape.pictures[0].goalHeight, 449);
    // Pictures of list bullets and of the header are no part of the page.
    EXPECT_TRUE(read("{\\header{\\pict\\pngblip 01}}{\\*\\listpicture{\\pict\\pngblip 02}}x").pictures.empty());
}

TEST(RtfReaderLinks, HyperlinkFieldsGiveTheirTargets)
{
    const std::vector<std::pair<std::string, std::u16string>> cases = {
        {"{\\field{\\*\\fldinst{HYPERLINK \"http://example.org/a?b=1\"}}{\\fldrslt{\\ul x}}}",
         u"http://example.org/a?b=1"},
        {"{\\field{\\*\\fldinst HYPERLINK http://bare.example }{\\fldrslt x}}", u"http://bare.example"},
        {"{\\field{\\*\\fldinst { HYPERLINK \"file.doc\" \\\\l \"part2\" \\\\o \"tip\"}}{\\fldrslt x}}",
         u"file.doc#part2"},
        {"{\\field{\\*\\fldinst {hyperlink \"C:\\\\\\\\dir\\\\\\\\a \\\\\"b\\\\\".txt\"}}{\\fldrslt x}}",
         u"C:\\dir\\a \"b\".txt"},
        {"{\\field{\\*\\fldinst{HYPERLINK \"http://x/\\u8364?\"}}{\\fldrslt x}}", u"http://x/\u20AC"},
    };
    for (const auto& [field, target] : cases) {
        SCOPED_TRACE(field);
        const Document doc = read("see " + field + " now");
        ASSERT_EQ(doc.links, std::vector<std::u16string>{target});
        ASSERT_EQ(doc.paragraphs[0].runs.size(), 3u);
        EXPECT_EQ(doc.paragraphs[0].runs[1].text, u"x");
        EXPECT_EQ(doc.paragraphs[0].runs[1].format.link, 1u);
        EXPECT_EQ(doc.paragraphs[0].runs[2].format.link, 0u);
    }
}

TEST(RtfReaderLinks, OtherFieldsAndEmptyResultsMakeNoLink)
{
    EXPECT_TRUE(read("{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}").links.empty());
    EXPECT_TRUE(read("{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt }}y").links.empty());
    // One target is one link, however often the page names it.
    const Document twice = read("{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt a}} {\\field{\\*\\fldinst HYPERLINK "
                                "\"u\"}{\\fldrslt\\plain b}}");
    EXPECT_EQ(twice.links.size(), 1u);
    EXPECT_EQ(twice.paragraphs[0].runs.back().format.link, 1u); // \plain keeps the field's link
}

TEST(RtfReaderNotes, NoteTextIsKeptApartWithAReferenceWhereItStands)
{
    // LibreOffice's shape of a footnote, then an endnote in a link.
    const Document doc = read("Noted{\\super \\chftn{\\*\\footnote \\chftn\\pard\\plain \\intbl{\\tab The note.}\\par "
                              "Second.}} here.{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt L{\\footnote\\ftnalt "
                              "End.}}}\\par");
    ASSERT_EQ(doc.notes.size(), 2u);
    ASSERT_EQ(doc.notes[0].paragraphs.size(), 2u);
    EXPECT_EQ(doc.notes[0].paragraphs[0].runs[0].text, u"\tThe note.");
    EXPECT_EQ(doc.notes[0].paragraphs[0].depth, 1u);
    EXPECT_FALSE(doc.notes[0].endnote);
    EXPECT_TRUE(doc.notes[1].endnote);
    EXPECT_EQ(doc.notes[1].paragraphs[0].runs[0].format.link, 0u);
    const std::vector<RtfRun>& runs = doc.paragraphs[0].runs;
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[1].note, 1u);
    EXPECT_EQ(runs[1].text, std::u16string(1, kObjectChar));
    EXPECT_EQ(PlainText(doc), u"Noted here.L");
    EXPECT_EQ(ExportText(doc), u"Noted[1] here.L[2]\n[1] \tThe note. Second.\n[2] End.");
    EXPECT_EQ(doc.notes[0].paragraphs[0].row, 0u);
}

} // namespace
