#include "ui/editor/RichEdit.h"

#include <fstream>
#include <ostream>
#include <random>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextList>

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/rtf/Rtf.h"
#include "platform/QtText.h"
#include "support/PagePrinter.h"
#include "support/TempDir.h"
#include "ui/editor/PageEdit.h"

namespace quillory::richedit {
namespace {

using rtf::Alignment;
using rtf::CharFormat;
using rtf::Document;
using rtf::Numbering;
using rtf::Paragraph;
using rtf::Run;

Run run(std::u16string text, CharFormat format = {})
{
    return Run{std::move(text), std::move(format)};
}

Paragraph para(std::vector<Run> runs, Alignment alignment = Alignment::Left, Numbering numbering = Numbering::None)
{
    return Paragraph{alignment, numbering, std::move(runs)};
}

CharFormat bold()
{
    CharFormat f;
    f.bold = true;
    return f;
}

// Pages with every format Qt carries: escapes, non-ASCII, astral characters, tabs, line breaks,
// empty paragraphs, lists of both kinds. Adjacent runs always differ, as Qt merges equal ones.
class RandomPage {
public:
    explicit RandomPage(unsigned seed) : m_rng(seed) {}

    Document next()
    {
        Document doc;
        const int paragraphs = pick(1, 12);
        for (int p = 0; p < paragraphs; ++p) {
            Paragraph para;
            const std::array<Alignment, 4> alignments = {Alignment::Left, Alignment::Centre, Alignment::Right,
                                                         Alignment::Justified};
            para.alignment = alignments[static_cast<std::size_t>(pick(0, 3))];
            const int n = pick(0, 5);
            para.numbering = n == 0 ? Numbering::Bullet : n == 1 ? Numbering::Other : Numbering::None;
            const int runs = pick(0, 5);
            for (int r = 0; r < runs; ++r) {
                CharFormat f = format();
                if (!para.runs.empty() && para.runs.back().format == f)
                    f.bold = !f.bold;
                para.runs.push_back(Run{text(), f});
            }
            doc.paragraphs.push_back(std::move(para));
        }
        return doc;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    CharFormat format()
    {
        static const std::array<std::u16string, 4> fonts = {u"", u"Arial", u"DejaVu Serif", u"Fönt 中"};
        CharFormat f;
        f.font = fonts[static_cast<std::size_t>(pick(0, 3))];
        f.pointSize = pick(0, 2) == 0 ? 0 : pick(2, 400) / 2.0;
        f.colour = pick(0, 1) == 0 ? rtf::kAutomaticColour : static_cast<rtf::Colour>(pick(0, 0xFFFFFF));
        f.bold = pick(0, 1) == 1;
        f.italic = pick(0, 1) == 1;
        f.underline = pick(0, 1) == 1;
        f.strikeout = pick(0, 1) == 1;
        return f;
    }

    std::u16string text()
    {
        static const std::u16string pieces[] = {u"word",
                                                u" ",
                                                u"\\",
                                                u"{",
                                                u"}",
                                                u"\t",
                                                u"\v",
                                                u"é",
                                                u"€",
                                                u"中文",
                                                u"\U0001F600",
                                                u"\u00A0",
                                                u"Reminder{20160725-1500}",
                                                u"'",
                                                u"?",
                                                u"\u2014"};
        std::u16string out;
        const int n = pick(1, 8);
        for (int i = 0; i < n; ++i)
            out += pieces[static_cast<std::size_t>(pick(0, std::size(pieces) - 1))];
        return out;
    }

    std::mt19937 m_rng;
};

Document roundTrip(const Document& page)
{
    QTextDocument doc;
    fromModel(doc, page);
    return toModel(doc);
}

TEST(RichEditConversion, RandomPagesSurviveTheDocumentUnchanged)
{
    RandomPage pages(20240611);
    for (int i = 0; i < 300; ++i) {
        const Document page = pages.next();
        ASSERT_EQ(roundTrip(page), page) << "page " << i;
    }
}

TEST(RichEditConversion, EmptyDocumentIsOneEmptyParagraph)
{
    QTextDocument doc;
    EXPECT_EQ(toModel(doc), Document{{Paragraph{}}});
    EXPECT_EQ(roundTrip(Document{}), Document{{Paragraph{}}});
}

TEST(RichEditConversion, CharacterFormatsMapToQtProperties)
{
    CharFormat f;
    f.font = u"DejaVu Sans";
    f.pointSize = 13.5;
    f.colour = 0x00336699; // blue 0x33, green 0x66, red 0x99
    f.bold = f.italic = f.underline = f.strikeout = true;
    const QTextCharFormat q = charFormatFromModel(f);
    EXPECT_EQ(q.fontFamilies().toStringList(), QStringList{QStringLiteral("DejaVu Sans")});
    EXPECT_DOUBLE_EQ(q.fontPointSize(), 13.5);
    EXPECT_EQ(q.foreground().color(), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(q.fontWeight(), QFont::Bold);
    EXPECT_TRUE(q.fontItalic());
    EXPECT_TRUE(q.fontUnderline());
    EXPECT_TRUE(q.fontStrikeOut());
    EXPECT_EQ(charFormatToModel(q), f);
}

TEST(RichEditConversion, DefaultsStayUnsetSoTheDocumentDefaultsApply)
{
    const QTextCharFormat q = charFormatFromModel(CharFormat{});
    EXPECT_FALSE(q.hasProperty(QTextFormat::FontFamilies));
    EXPECT_FALSE(q.hasProperty(QTextFormat::FontPointSize));
    EXPECT_FALSE(q.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(charFormatToModel(QTextCharFormat{}), CharFormat{});
}

TEST(RichEditConversion, FormatsFromHtmlAreRead)
{
    QTextDocument doc;
    doc.setHtml(QStringLiteral("<p><span style=\"font-weight:600\">semi</span><span style=\"font-weight:800\">"
                               "heavy</span><span style=\"font-size:16px\">px</span><u>u</u>"
                               "<span style=\"text-decoration:line-through\">s</span></p>"));
    const Document page = toModel(doc);
    ASSERT_EQ(page.paragraphs.size(), 1u);
    const auto& runs = page.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_FALSE(runs[0].format.bold) << "demi-bold is not bold";
    EXPECT_TRUE(runs[1].format.bold);
    EXPECT_DOUBLE_EQ(runs[2].format.pointSize, 12.0);
    EXPECT_TRUE(runs[3].format.underline);
    EXPECT_TRUE(runs[4].format.strikeout);
}

TEST(RichEditColour, RgbIsStoredBlueHighRedLow)
{
    EXPECT_EQ(colourFromQ(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(colourToQ(0x00563412u), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(colourFromQ(QColor(0, 0, 0)), 0u);
    EXPECT_EQ(colourFromQ(QColor()), rtf::kAutomaticColour);
}

TEST(RichEditColour, SystemColoursComeFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(4, 5, 6));
    palette.setColor(QPalette::Button, QColor(7, 8, 9));
    EXPECT_EQ(colourToQ(rtf::kAutomaticColour, palette), QColor(1, 2, 3));
    EXPECT_EQ(colourToQ(0xFF000005u, palette), QColor(4, 5, 6));
    EXPECT_EQ(colourToQ(0xFF00000Fu, palette), QColor(7, 8, 9));
}

TEST(RichEditColour, NoForegroundIsAutomaticAndBlackIsNot)
{
    QTextCharFormat q;
    EXPECT_EQ(charFormatToModel(q).colour, rtf::kAutomaticColour);
    q.setForeground(Qt::NoBrush);
    EXPECT_EQ(charFormatToModel(q).colour, rtf::kAutomaticColour);
    q.setForeground(QColor(Qt::black));
    EXPECT_EQ(charFormatToModel(q).colour, 0u);
    // Automatic text keeps following the palette: it carries no colour of its own.
    CharFormat automatic;
    EXPECT_FALSE(charFormatFromModel(automatic).hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RichEditParagraphs, AlignmentsMapBothWays)
{
    EXPECT_EQ(alignmentToModel(Qt::AlignLeft), Alignment::Left);
    EXPECT_EQ(alignmentToModel(Qt::AlignHCenter | Qt::AlignVCenter), Alignment::Centre);
    EXPECT_EQ(alignmentToModel(Qt::AlignRight | Qt::AlignAbsolute), Alignment::Right);
    EXPECT_EQ(alignmentToModel(Qt::AlignJustify), Alignment::Justified);
    EXPECT_EQ(alignmentToModel(Qt::AlignLeft | Qt::AlignRight), Alignment::Other);
    EXPECT_EQ(alignmentFromModel(Alignment::Other), Qt::AlignLeft);

    QTextDocument doc;
    doc.setHtml(QStringLiteral("<p align=center>c</p><p align=right>r</p><p align=justify>j</p><p>l</p>"));
    const Document page = toModel(doc);
    ASSERT_EQ(page.paragraphs.size(), 4u);
    EXPECT_EQ(page.paragraphs[0].alignment, Alignment::Centre);
    EXPECT_EQ(page.paragraphs[1].alignment, Alignment::Right);
    EXPECT_EQ(page.paragraphs[2].alignment, Alignment::Justified);
    EXPECT_EQ(page.paragraphs[3].alignment, Alignment::Left);
}

TEST(RichEditParagraphs, ConsecutiveBulletsShareOneDiscList)
{
    const Document page{{para({run(u"one")}, Alignment::Left, Numbering::Bullet),
                         para({run(u"two")}, Alignment::Left, Numbering::Bullet), para({run(u"plain")}),
                         para({run(u"1.")}, Alignment::Left, Numbering::Other),
                         para({run(u"2.")}, Alignment::Left, Numbering::Other)}};
    QTextDocument doc;
    fromModel(doc, page);
    const QTextBlock one = doc.findBlockByNumber(0);
    ASSERT_NE(one.textList(), nullptr);
    EXPECT_EQ(one.textList(), doc.findBlockByNumber(1).textList());
    EXPECT_EQ(one.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(doc.findBlockByNumber(2).textList(), nullptr);
    const QTextList* numbered = doc.findBlockByNumber(3).textList();
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(numbered->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(numbered->count(), 2);
}

TEST(RichEditParagraphs, ListStylesOtherThanDiscCountAsNumbered)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("circle"));
    cursor.createList(QTextListFormat::ListCircle);
    EXPECT_EQ(toModel(doc).paragraphs.at(0).numbering, Numbering::Other);
    doc.setHtml(QStringLiteral("<ul><li>a</li></ul><ol><li>b</li></ol>"));
    const Document page = toModel(doc);
    ASSERT_EQ(page.paragraphs.size(), 2u);
    EXPECT_EQ(page.paragraphs[0].numbering, Numbering::Bullet);
    EXPECT_EQ(page.paragraphs[1].numbering, Numbering::Other);
}

TEST(RichEditParagraphs, SetNumberingMakesAndRemovesOneList)
{
    QTextDocument doc;
    fromModel(doc, Document{{para({run(u"a")}), para({run(u"b")}), para({run(u"c")})}});
    QTextCursor cursor(&doc);
    cursor.setPosition(0);
    cursor.setPosition(doc.findBlockByNumber(1).position() + 1, QTextCursor::KeepAnchor);

    setNumbering(cursor, Numbering::Bullet);
    const QTextList* list = doc.findBlockByNumber(0).textList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list, doc.findBlockByNumber(1).textList());
    EXPECT_EQ(doc.findBlockByNumber(2).textList(), nullptr);

    setNumbering(cursor, Numbering::Bullet);
    EXPECT_EQ(doc.findBlockByNumber(0).textList(), list) << "an existing list is left alone";

    setNumbering(cursor, Numbering::None);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(doc.findBlockByNumber(i).textList(), nullptr);
        EXPECT_EQ(doc.findBlockByNumber(i).blockFormat().indent(), 0) << "block " << i;
    }
}

TEST(RichEditText, LineBreaksAreLineSeparatorsInsideOneBlock)
{
    QTextDocument doc;
    fromModel(doc, Document{{para({run(u"one\vtwo")})}});
    ASSERT_EQ(doc.blockCount(), 1);
    EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("one\u2028two"));
    EXPECT_EQ(toModel(doc).paragraphs.at(0).runs.at(0).text, u"one\vtwo");
}

TEST(RichEditText, BlockBreakingCharactersInARunNeverSplitTheParagraph)
{
    QTextDocument doc;
    fromModel(doc, Document{{para({run(u"a\rb\nc\u2029d\uFDD0e")})}});
    ASSERT_EQ(doc.blockCount(), 1);
    EXPECT_EQ(toModel(doc).paragraphs.at(0).runs.at(0).text, u"a\vb\vc\vd\uFFFDe");
}

TEST(RichEditText, ImagesAreDroppedAndTheirTextKept)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("before"));
    QTextImageFormat image;
    image.setName(QStringLiteral("missing.png"));
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral("after"));
    EXPECT_EQ(toModel(doc), Document{{para({run(u"beforeafter")})}});
}

TEST(RichEditText, SelectionKeepsOnlyTheSelectedCharactersOfEachBlock)
{
    QTextDocument doc;
    fromModel(doc, Document{{para({run(u"hello "), run(u"bold", bold())}, Alignment::Centre),
                             para({run(u"middle")}, Alignment::Left, Numbering::Bullet),
                             para({run(u"tail end")}, Alignment::Right)}});
    QTextCursor cursor(&doc);
    cursor.setPosition(3);
    cursor.setPosition(doc.findBlockByNumber(2).position() + 4, QTextCursor::KeepAnchor);
    const Document expected{{para({run(u"lo "), run(u"bold", bold())}, Alignment::Centre),
                             para({run(u"middle")}, Alignment::Left, Numbering::Bullet),
                             para({run(u"tail")}, Alignment::Right)}};
    EXPECT_EQ(selectionToModel(cursor), expected);

    cursor.clearSelection();
    EXPECT_EQ(selectionToModel(cursor), Document{{Paragraph{}}});
}

TEST(RichEditText, InsertModelPastesAtTheCursorAsOneUndoStep)
{
    QTextEdit edit;
    edit.setPlainText(QStringLiteral("AB"));
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(1);
    insertModel(cursor, Document{{para({run(u"x", bold())}), para({run(u"y")}, Alignment::Centre)}});
    const Document page = toModel(*edit.document());
    ASSERT_EQ(page.paragraphs.size(), 2u);
    EXPECT_EQ(page.paragraphs[0].runs, (std::vector<rtf::Run>{run(u"A"), run(u"x", bold())}));
    EXPECT_EQ(page.paragraphs[1].runs, (std::vector<rtf::Run>{run(u"yB")}));
    EXPECT_EQ(page.paragraphs[1].alignment, Alignment::Centre);
    edit.undo();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("AB"));
}

TEST(RichEditText, CaretFormatFillsInTheDocumentDefaults)
{
    QTextEdit edit;
    edit.document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    const CharFormat f = caretFormat(edit);
    EXPECT_EQ(f.font, u"DejaVu Sans");
    EXPECT_DOUBLE_EQ(f.pointSize, 11.0);
    EXPECT_EQ(f.colour, rtf::kAutomaticColour);
}

TEST(RichEditClipboard, SelectionOffersRtfHtmlAndPlainText)
{
    QTextDocument doc;
    fromModel(doc, Document{{para({run(u"skip "), run(u"Bold", bold()), run(u" text\vnext")}),
                             para({run(u"second {line} \\ é 😀")}, Alignment::Centre)}});
    QTextCursor cursor(&doc);
    cursor.setPosition(5);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    const std::unique_ptr<QMimeData> data = selectionMimeData(cursor);
    for (const char* type : {"text/rtf", "application/rtf", "text/html", "text/plain"})
        EXPECT_TRUE(data->hasFormat(QString::fromLatin1(type))) << type;
    EXPECT_EQ(data->data(QStringLiteral("text/rtf")), data->data(QStringLiteral("application/rtf")));
    EXPECT_EQ(data->text(), QStringLiteral("Bold text\nnext\nsecond {line} \\ é 😀"));
    EXPECT_TRUE(data->html().contains(QStringLiteral("font-weight:700"))) << data->html().toStdString();

    const QByteArray rtf = rtfFromMimeData(*data);
    const Document back = rtf::ReadRtf(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())));
    EXPECT_EQ(rtf::PlainText(back), u"Bold text\nnext\nsecond {line} \\ é 😀");
    ASSERT_FALSE(back.paragraphs.empty());
    ASSERT_FALSE(back.paragraphs[0].runs.empty());
    EXPECT_TRUE(back.paragraphs[0].runs[0].format.bold);
}

TEST(RichEditClipboard, WholePageOffersTheSameFormats)
{
    const Document page{{para({run(u"one", bold())}), para({run(u"two")}, Alignment::Left, Numbering::Bullet)}};
    QTextDocument doc;
    fromModel(doc, page);
    for (const std::unique_ptr<QMimeData>& data : {mimeDataFor(page), documentMimeData(doc)}) {
        // Word processors put a list item's marker and a tab in the text they copy.
        EXPECT_EQ(data->text(), QStringLiteral("one\n\u2022\ttwo"));
        EXPECT_TRUE(data->hasHtml());
        const QByteArray rtf = rtfFromMimeData(*data);
        EXPECT_EQ(rtf.toStdString(), rtf::WriteRtf(page));
    }
}

TEST(RichEditClipboard, RtfIsFoundUnderEitherName)
{
    QMimeData data;
    EXPECT_TRUE(rtfFromMimeData(data).isEmpty());
    data.setData(QStringLiteral("application/rtf"), QByteArrayLiteral("{\\rtf1 x}"));
    EXPECT_EQ(rtfFromMimeData(data), QByteArrayLiteral("{\\rtf1 x}"));
    data.setData(QStringLiteral("text/rtf"), QByteArrayLiteral("{\\rtf1 y}"));
    EXPECT_EQ(rtfFromMimeData(data), QByteArrayLiteral("{\\rtf1 y}"));
}

class PageEditTest : public ::testing::Test {
protected:
    void paste(std::unique_ptr<QMimeData> data)
    {
        QGuiApplication::clipboard()->setMimeData(data.release());
        m_edit.paste();
    }

    PageEdit m_edit;
};

TEST_F(PageEditTest, CopyThenPasteKeepsTheFormatting)
{
    fromModel(*m_edit.document(), Document{{para({run(u"plain "), run(u"bold", bold())}, Alignment::Right)}});
    m_edit.selectAll();
    m_edit.copy();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasFormat(QStringLiteral("text/rtf")));
    EXPECT_TRUE(copied->hasFormat(QStringLiteral("text/html")));

    PageEdit other;
    other.paste();
    EXPECT_EQ(toModel(*other.document()), toModel(*m_edit.document()));
}

TEST_F(PageEditTest, PastePrefersRtfOverHtmlAndText)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/rtf"), QByteArrayLiteral("{\\rtf1\\ansi {\\b from rtf}\\par}"));
    data->setHtml(QStringLiteral("<i>from html</i>"));
    data->setText(QStringLiteral("from text"));
    paste(std::move(data));
    EXPECT_EQ(toModel(*m_edit.document()), (Document{{para({run(u"from rtf", bold())})}}));
}

TEST_F(PageEditTest, PasteFallsBackToHtmlThenText)
{
    auto html = std::make_unique<QMimeData>();
    html->setHtml(QStringLiteral("<b>from html</b>"));
    html->setText(QStringLiteral("from text"));
    paste(std::move(html));
    EXPECT_EQ(toModel(*m_edit.document()).paragraphs.at(0).runs, (std::vector<rtf::Run>{run(u"from html", bold())}));

    m_edit.clear();
    auto text = std::make_unique<QMimeData>();
    text->setText(QStringLiteral("from text"));
    paste(std::move(text));
    EXPECT_EQ(m_edit.toPlainText(), QStringLiteral("from text"));
}

TEST_F(PageEditTest, UnreadableRtfDoesNotSwallowThePlainText)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/rtf"), QByteArrayLiteral("{\\rtf1 {\\*\\junk only}}"));
    data->setText(QStringLiteral("the words"));
    paste(std::move(data));
    EXPECT_EQ(m_edit.toPlainText(), QStringLiteral("the words"));
}

TEST_F(PageEditTest, PlainTextEditorPastesRtfAsText)
{
    m_edit.setAcceptRichText(false);
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/rtf"), QByteArrayLiteral("{\\rtf1 {\\b from rtf}\\par}"));
    data->setText(QStringLiteral("from text"));
    paste(std::move(data));
    EXPECT_EQ(toModel(*m_edit.document()), (Document{{para({run(u"from text")})}}));
}

TEST_F(PageEditTest, RtfAloneCanBePasted)
{
    QMimeData data;
    data.setData(QStringLiteral("application/rtf"), QByteArrayLiteral("{\\rtf1 x}"));
    struct Probe : PageEdit {
        using PageEdit::canInsertFromMimeData;
    } probe;
    EXPECT_TRUE(probe.canInsertFromMimeData(&data));
    EXPECT_FALSE(probe.canInsertFromMimeData(nullptr));
}

class PageFileTest : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& name, const std::string& bytes)
    {
        auto file = m_dir / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    test::TempDir m_dir;
    PageEdit m_edit;
};

TEST_F(PageFileTest, PlainTextFileIsOneParagraphPerLine)
{
    ASSERT_FALSE(loadPage(m_edit, write("page", "caf\xC3\xA9 {x}\r\nsecond\\line\n")));
    EXPECT_EQ(m_edit.toPlainText(), QStringLiteral("café {x}\nsecond\\line"));
    EXPECT_FALSE(m_edit.document()->isModified());
    EXPECT_FALSE(m_edit.document()->isUndoAvailable());
    EXPECT_EQ(m_edit.textCursor().position(), 0);
}

TEST_F(PageFileTest, Utf16FileWithByteOrderMarkIsDecoded)
{
    const std::string le("\xFF\xFE"
                         "A\0\xAC\x20\x3D\xD8\x00\xDE\n\0B\0",
                         14);
    ASSERT_FALSE(loadPage(m_edit, write("le", le)));
    EXPECT_EQ(m_edit.toPlainText(), QStringLiteral("A€😀\nB"));
    const std::string be("\xFE\xFF\0A\x20\xAC", 6);
    ASSERT_FALSE(loadPage(m_edit, write("be", be)));
    EXPECT_EQ(m_edit.toPlainText(), QStringLiteral("A€"));
}

TEST_F(PageFileTest, RtfFileKeepsItsFormatting)
{
    ASSERT_FALSE(loadPage(m_edit, write("page.rtf", "{\\rtf1\\ansi\\qc {\\b B}\\i I\\par}")));
    const Document page = toModel(*m_edit.document());
    ASSERT_FALSE(page.paragraphs.empty());
    EXPECT_EQ(page.paragraphs[0].alignment, Alignment::Centre);
    ASSERT_EQ(page.paragraphs[0].runs.size(), 2u);
    EXPECT_TRUE(page.paragraphs[0].runs[0].format.bold);
    EXPECT_TRUE(page.paragraphs[0].runs[1].format.italic);
}

TEST_F(PageFileTest, UnreadableFileReportsWhyAndLeavesTheEditorAlone)
{
    m_edit.setPlainText(QStringLiteral("kept"));
    EXPECT_EQ(loadPage(m_edit, m_dir / "absent"), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(loadPage(m_edit, m_dir.path())) << "a folder is no page";
    EXPECT_EQ(m_edit.toPlainText(), QStringLiteral("kept"));
}

TEST_F(PageFileTest, SaveThenLoadGivesThePageBack)
{
    RandomPage pages(7);
    for (int i = 0; i < 40; ++i) {
        const Document page = pages.next();
        fromModel(*m_edit.document(), page);
        ASSERT_FALSE(savePage(m_edit, m_dir / "page"));
        PageEdit loaded;
        ASSERT_FALSE(loadPage(loaded, m_dir / "page"));
        ASSERT_EQ(toModel(*loaded.document()), page) << "page " << i;
    }
}

TEST_F(PageFileTest, FailedSaveReportsWhy)
{
    m_edit.setPlainText(QStringLiteral("new"));
    EXPECT_EQ(savePage(m_edit, m_dir / "missing" / "page"), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));
}

} // namespace
} // namespace quillory::richedit
