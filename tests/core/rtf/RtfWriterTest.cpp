#include "core/rtf/Rtf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace quillory::rtf;
using RtfRun = quillory::rtf::Run; // Run alone is GoogleTest's, inside a test

CharFormat calibri(double size = 11)
{
    CharFormat f;
    f.font = u"Calibri";
    f.pointSize = size;
    return f;
}

Paragraph paragraphOf(std::u16string text, CharFormat format = calibri())
{
    Paragraph p;
    p.runs.push_back(Run{std::move(text), std::move(format)});
    return p;
}

Document documentOf(std::initializer_list<Paragraph> paragraphs)
{
    Document doc;
    doc.paragraphs = paragraphs;
    return doc;
}

// The body between the header and the closing brace.
std::string bodyOf(const std::string& rtf)
{
    const auto start = rtf.find("\\viewkind4\\uc1 \r\n");
    return rtf.substr(start + 17, rtf.size() - start - 17 - 3);
}

TEST(RtfWriter, EmptyDocumentIsValidRtfWithOneEmptyParagraph)
{
    const std::string expected = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil"
                                 "\\fcharset0 Calibri;}}\r\n\\viewkind4\\uc1 \r\n\\pard\\par\r\n}\r\n";
    EXPECT_EQ(WriteRtf(Document{}), expected);
    EXPECT_EQ(WriteRtf(documentOf({Paragraph{}})), expected);
    const Document back = ReadRtf(expected);
    ASSERT_EQ(back.paragraphs.size(), 1u);
    EXPECT_TRUE(back.paragraphs[0].runs.empty());
}

TEST(RtfWriter, WritesTheRichTextControlsShape)
{
    Paragraph first;
    CharFormat bold = calibri();
    bold.bold = true;
    CharFormat red = calibri();
    red.colour = 0x0000FF;
    first.runs = {RtfRun{u"Plain ", calibri()}, RtfRun{u"bold", bold}, RtfRun{u" and ", calibri()},
                  RtfRun{u"red", red}};
    Paragraph second = paragraphOf(u"Centred", calibri(12));
    second.alignment = Alignment::Centre;
    EXPECT_EQ(
        WriteRtf(documentOf({first, second})),
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "\\viewkind4\\uc1 \r\n"
        "\\pard\\f0\\fs22 Plain \\b bold\\b0  and \\cf1 red\\par\r\n"
        "\\pard\\qc\\cf0\\fs24 Centred\\par\r\n"
        "}\r\n");
}

TEST(RtfWriter, EscapesBracesBackslashesAndNonAscii)
{
    const std::string body =
        bodyOf(WriteRtf(documentOf({paragraphOf(u"a\\b{c}d caf\u00E9 \u20AC \u0416 \uFFFD \U0001F4A9 \u00A0")})));
    EXPECT_EQ(body,
              "\\pard\\f0\\fs22 a\\\\b\\{c\\}d caf\\'e9 \\'80 \\u1046? \\u-3? \\u-10179?\\u-9047? \\'a0\\par\r\n");
}

TEST(RtfWriter, UnicodeEscapesAreSignedSixteenBitNumbers)
{
    // \uN takes a signed 16-bit N: U+7FFF is the last written as it is, U+8000 the first below zero.
    EXPECT_EQ(bodyOf(WriteRtf(documentOf({paragraphOf(u"\u7FFF\u8000")}))),
              "\\pard\\f0\\fs22\\u32767?\\u-32768?\\par\r\n");
}

TEST(RtfWriter, ReminderTagStaysContiguousOnOneLine)
{
    const std::string rtf = WriteRtf(documentOf({paragraphOf(u"Call Reminder{20160725-1500}[dentist] today")}));
    EXPECT_NE(rtf.find("Call Reminder\\{20160725-1500\\}[dentist] today\\par\r\n"), std::string::npos);
}

TEST(RtfWriter, TabsAndLineBreaksAreControlWords)
{
    EXPECT_EQ(bodyOf(WriteRtf(documentOf({paragraphOf(u"a\tb\vc\t\t1")}))),
              "\\pard\\f0\\fs22 a\\tab b\\line c\\tab\\tab 1\\par\r\n");
}

TEST(RtfWriter, EveryParagraphIsOneLineEndingInParAndCrLf)
{
    Paragraph mixed;
    CharFormat italic = calibri();
    italic.italic = true;
    mixed.runs = {RtfRun{u"x{", calibri()}, RtfRun{u"y", italic}, RtfRun{u"}\u00E9", calibri()}};
    const std::string body = bodyOf(WriteRtf(documentOf({mixed, Paragraph{}, paragraphOf(u"z")})));
    EXPECT_EQ(body, "\\pard\\f0\\fs22 x\\{\\i y\\i0\\}\\'e9\\par\r\n\\par\r\nz\\par\r\n");
}

TEST(RtfWriter, BulletsAsTheRichTextControlWritesThem)
{
    Paragraph one = paragraphOf(u"First");
    one.numbering = Numbering::Bullet;
    Paragraph two = paragraphOf(u"Second");
    two.numbering = Numbering::Bullet;
    const std::string rtf = WriteRtf(documentOf({one, two, paragraphOf(u"After")}));
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}}"),
              std::string::npos);
    EXPECT_EQ(bodyOf(rtf), "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                           "\\fi-360\\li720\\f0\\fs22 First\\par\r\n"
                           "{\\pntext\\f1\\'B7\\tab}Second\\par\r\n"
                           "\\pard After\\par\r\n");
}

TEST(RtfWriter, NumberedParagraphsAreCounted)
{
    Paragraph one = paragraphOf(u"One");
    one.numbering = Numbering::Other;
    Paragraph two = paragraphOf(u"Two");
    two.numbering = Numbering::Other;
    const std::string body = bodyOf(WriteRtf(documentOf({one, two})));
    EXPECT_NE(body.find("{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody"), std::string::npos);
    EXPECT_NE(body.find("{\\pntext\\f0 2.\\tab}Two"), std::string::npos);
}

TEST(RtfWriter, DefaultsAreWrittenSoTheyReadBack)
{
    CharFormat plain; // no font, no size, automatic colour
    CharFormat system = calibri();
    system.colour = 0xFF00000Fu; // a system colour other than automatic
    Paragraph p;
    p.runs = {RtfRun{u"sized", calibri(14)}, RtfRun{u"default", plain}, RtfRun{u"system", system}};
    const std::string rtf = WriteRtf(documentOf({p}));
    EXPECT_NE(rtf.find("{\\f1\\fnil\\fcharset0 ;}"), std::string::npos); // the unnamed font
    EXPECT_NE(rtf.find("\\plain"), std::string::npos);                   // back to no size
    const Document back = ReadRtf(rtf);
    ASSERT_EQ(back.paragraphs[0].runs.size(), 3u);
    EXPECT_EQ(back.paragraphs[0].runs[1].format, plain);
    EXPECT_EQ(back.paragraphs[0].runs[2].format.colour, kAutomaticColour);
}

TEST(RtfWriter, EmptyRunsAreLeftOut)
{
    Paragraph p;
    CharFormat bold = calibri();
    bold.bold = true;
    p.runs = {RtfRun{u"a", calibri()}, RtfRun{u"", bold}, RtfRun{u"b", calibri()}};
    EXPECT_EQ(bodyOf(WriteRtf(documentOf({p}))), "\\pard\\f0\\fs22 ab\\par\r\n");
}

TEST(RtfWriter, FontNamesAreEscapedInTheTable)
{
    CharFormat odd = calibri();
    odd.font = u"Semi;colon {Brace} \\ \u00DCml \u5FAE";
    const std::string rtf = WriteRtf(documentOf({paragraphOf(u"x", odd)}));
    EXPECT_NE(rtf.find("{\\f0\\fnil\\fcharset0 Semi\\'3bcolon \\{Brace\\} \\\\ \\'dcml \\u24494?;}"),
              std::string::npos);
    EXPECT_EQ(ReadRtf(rtf).paragraphs[0].runs[0].format.font, odd.font);
}

TEST(RtfWriter, TablesAsWordProcessorsReadThem)
{
    Paragraph a = paragraphOf(u"a");
    a.depth = 1;
    a.end = CellEnd::Cell;
    Paragraph n1 = paragraphOf(u"n1");
    n1.depth = 2;
    n1.end = CellEnd::Row;
    n1.row = 2;
    Paragraph last; // the outer cell's empty paragraph after the nested table
    last.depth = 1;
    last.end = CellEnd::Row;
    last.row = 1;
    Document doc = documentOf({a, n1, last, paragraphOf(u"after")});
    doc.rows = {TableRow{{{1000, true}, {2000, false}}}, TableRow{{{500, false}}}};
    EXPECT_EQ(
        bodyOf(WriteRtf(doc)),
        "\\trowd\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs"
        "\\brdrw10\\cellx1000\\cellx2000\r\n"
        "\\pard\\intbl\\f0\\fs22 a\\cell\r\n"
        "\\pard\\intbl\\itap2 n1\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}{\\nonesttables\\par}\r\n"
        "\\pard\\intbl\\cell\\row\r\n"
        "\\pard after\\par\r\n");
}

TEST(RtfWriter, ListsLinksPicturesHiddenTextAndNotes)
{
    Paragraph item = paragraphOf(u"item");
    item.list = 1;
    item.level = 1;
    item.numbering = Numbering::Other;
    CharFormat linked = calibri();
    linked.link = 1;
    linked.underline = true;
    CharFormat hidden = calibri();
    hidden.hidden = true;
    Paragraph body;
    body.runs = {RtfRun{u"see ", calibri()}, RtfRun{u"here", linked}, RtfRun{u" secret", hidden},
                 RtfRun{std::u16string(1, kObjectChar), calibri(), 1, 0},
                 RtfRun{std::u16string(1, kObjectChar), calibri(), 0, 1}};
    Document doc = documentOf({item, body});
    doc.lists = {List{{{ListKind::Bullet, 1}, {ListKind::UpperRoman, 2}}}};
    doc.links = {u"http://x/\\\"q\""};
    doc.pictures = {Picture{PictureKind::Png, 0, 2, 1, 30, 15, 100, 100, std::string("\x89P\0", 3)}};
    doc.notes = {Note{{paragraphOf(u"note")}, true}};
    const std::string rtf = WriteRtf(doc);
    for (const char* part : {
             "{\\list\\listtemplateid1\\listhybrid{"
             "\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0"
             "\\levelstartat1{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}{\\listlevel\\levelnfc1",
             "\\levelstartat2{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}\\fi-360\\li1440}\\listid1}}",
             "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}",
             "\\pard{\\listtext\\pard\\plain II.\\tab}\\ls1\\ilvl1\\fi-360\\li1440\\f0\\fs22 item\\par",
             "see {\\field{\\*\\fldinst{HYPERLINK \"http://x/\\\\\\\\\\\\\"q\\\\\"\"}}{\\fldrslt{\\ul here}}}\\v  "
             "secret",
             "{\\pict\\pngblip\\picw2\\pich1\\picwgoal30\\pichgoal15\r\n895000}",
             "{\\super\\chftn}{\\footnote\\ftnalt\\pard{\\super\\chftn}note}",
         })
        EXPECT_NE(rtf.find(part), std::string::npos) << part << "\nin\n" << rtf;
    EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfWriter, OutputIsDeterministic)
{
    CharFormat a = calibri();
    a.colour = 0x123456;
    CharFormat b = calibri();
    b.font = u"Arial";
    b.colour = 0x654321;
    Paragraph p;
    p.runs = {RtfRun{u"one", a}, RtfRun{u"two", b}, RtfRun{u"three", a}};
    const Document doc = documentOf({p, p});
    EXPECT_EQ(WriteRtf(doc), WriteRtf(doc));
    EXPECT_NE(WriteRtf(doc).find("{\\colortbl ;\\red86\\green52\\blue18;\\red33\\green67\\blue101;}"),
              std::string::npos);
}

} // namespace
