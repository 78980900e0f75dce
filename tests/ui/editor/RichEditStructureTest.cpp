#include "ui/editor/RichEdit.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/rtf/Rtf.h"
#include "platform/QtText.h"
#include "support/PagePrinter.h"

// Tables, lists, links, pictures, hidden text and notes in the editor, and back from it unchanged.
namespace quillory::richedit {
namespace {

using namespace rtf;
using RtfRun = rtf::Run;

RtfRun text(std::u16string s, CharFormat format = {})
{
    return RtfRun{std::move(s), std::move(format)};
}

Paragraph cell(std::u16string s, int depth, CellEnd end = CellEnd::Cell, std::uint32_t row = 0)
{
    Paragraph p;
    if (!s.empty())
        p.runs.push_back(text(std::move(s)));
    p.depth = static_cast<std::uint8_t>(depth);
    p.end = end;
    p.row = row;
    return p;
}

Paragraph plain(std::u16string s)
{
    return cell(std::move(s), 0, CellEnd::None);
}

std::string png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// A page as a word processor leaves it: a table with a nested table and a row of another layout,
// nested lists, a link, two kinds of picture, hidden text and notes, one of them holding a table.
Document richPage()
{
    Document page;
    // In the order a reader ends them: the note's (read where it is referred to) first, nested
    // rows before the row around them.
    page.rows = {TableRow{{{900, false}}}, TableRow{{{1500, true}, {4000, true}}},
                 TableRow{{{1000, false}, {2000, false}}}, TableRow{{{4000, false}}}};
    page.lists = {List{{{ListKind::Decimal, 3}, {ListKind::LowerLetter, 1}}}, List{{{ListKind::Bullet, 1}}}};
    page.links = {u"https://example.org/page?a=1"};
    page.pictures = {Picture{PictureKind::Png, 0, 40, 30, 900, 600, 100, 100, png(40, 30)},
                     Picture{PictureKind::Wmf, 8, 2540, 1270, 0, 0, 50, 100, std::string("\x01\x00\x09\x00", 4)}};
    CharFormat linked;
    linked.link = 1;
    linked.underline = true;
    CharFormat hidden;
    hidden.hidden = true;
    Paragraph first = plain(u"See ");
    first.runs.push_back(text(u"the example", linked));
    first.runs.push_back(text(u" a secret", hidden));
    first.runs.push_back(text(u" now"));
    first.runs.push_back(RtfRun{std::u16string(1, kObjectChar), {}, 0, 1});
    page.paragraphs = {first,
                       cell(u"A1", 1),
                       cell(u"B1", 1, CellEnd::Row, 2),
                       cell(u"A2 above", 1, CellEnd::None),
                       cell(u"n1", 2),
                       cell(u"n2", 2, CellEnd::Row, 3),
                       cell(u"", 1, CellEnd::Row, 4)};
    Paragraph picture = plain(u"Picture: ");
    picture.runs.push_back(RtfRun{std::u16string(1, kObjectChar), {}, 1, 0});
    picture.runs.push_back(text(u" and "));
    picture.runs.push_back(RtfRun{std::u16string(1, kObjectChar), {}, 2, 0});
    page.paragraphs.push_back(picture);
    for (const auto& [words, level] : {std::pair{u"one", 0}, {u"sub a", 1}, {u"sub b", 1}, {u"two", 0}}) {
        Paragraph item = plain(words);
        item.list = 1;
        item.level = static_cast<std::uint8_t>(level);
        item.numbering = Numbering::Other;
        page.paragraphs.push_back(item);
    }
    Paragraph dot = plain(u"dot");
    dot.list = 2;
    dot.numbering = Numbering::Bullet;
    page.paragraphs.push_back(dot);
    page.paragraphs.push_back(plain(u"end"));
    page.notes = {Note{{plain(u"\tThe note."), cell(u"in note", 1, CellEnd::Row, 1)}, false}};
    return page;
}

QTextTable* firstTable(const QTextDocument& doc)
{
    for (QTextFrame* frame : doc.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            return table;
    return nullptr;
}

TEST(RichEditStructure, RichPageComesBackUnchanged)
{
    const Document page = richPage();
    QTextDocument doc;
    fromModel(doc, page);
    EXPECT_EQ(toModel(doc), page);
    // Once more through the editor and the file, as an edited page is written and read again.
    QTextDocument again;
    fromModel(again, ReadRtf(WriteRtf(toModel(doc))));
    EXPECT_EQ(toModel(again), page);
}

TEST(RichEditStructure, TablesAreQtTablesOnTheGridTheirRowsName)
{
    QTextDocument doc;
    fromModel(doc, richPage());
    QTextTable* table = firstTable(doc);
    ASSERT_NE(table, nullptr);
    // The edges 1500 and 4000 make two columns; the row of one cell (with the nested table) spans both.
    ASSERT_EQ(table->rows(), 2);
    ASSERT_EQ(table->columns(), 2);
    EXPECT_EQ(table->cellAt(0, 1).columnSpan(), 1);
    EXPECT_EQ(table->cellAt(1, 0).columnSpan(), 2);
    EXPECT_GT(table->cellAt(0, 0).format().toTableCellFormat().topBorder(), 0);
    EXPECT_EQ(table->cellAt(1, 0).firstCursorPosition().block().text(), QStringLiteral("A2 above"));
    EXPECT_EQ(table->cellAt(0, 0).firstCursorPosition().currentTable(), table);
}

TEST(RichEditStructure, ListsLinksPicturesHiddenTextAndNotesAreShownAsQtShowsThem)
{
    QTextDocument doc;
    fromModel(doc, richPage());
    const QString shown = doc.toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("The note."))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("secret"))) << shown.toStdString();

    bool anchor = false;
    int images = 0;
    QTextList* sub = nullptr;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            anchor =
                anchor || (format.isAnchor() && format.anchorHref() == QStringLiteral("https://example.org/page?a=1"));
            if (format.isImageFormat()) {
                ++images;
                const QTextImageFormat image = format.toImageFormat();
                EXPECT_FALSE(doc.resource(QTextDocument::ImageResource, QUrl(image.name())).isNull());
                if (images == 1) { // 900 x 600 twips at 96 per inch
                    EXPECT_DOUBLE_EQ(image.width(), 60);
                    EXPECT_DOUBLE_EQ(image.height(), 40);
                }
            }
        }
        if (block.text() == QStringLiteral("sub b"))
            sub = block.textList();
    }
    EXPECT_TRUE(anchor);
    EXPECT_EQ(images, 2);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->format().style(), QTextListFormat::ListLowerAlpha);
    EXPECT_EQ(sub->format().indent(), 2);
    EXPECT_EQ(sub->itemText(doc.findBlock(sub->item(1).position())), QStringLiteral("b."));
}

TEST(RichEditStructure, PageTextCarriesMarkersCellsAndNotes)
{
    QTextDocument doc;
    fromModel(doc, richPage());
    const std::u16string text = pageText(doc);
    EXPECT_NE(text.find(u"A1\tB1\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\n3.\tone\na.\tsub a\nb.\tsub b\n4.\ttwo\n\u2022\tdot\nend"), std::u16string::npos);
    EXPECT_NE(text.find(u"See the example now[1]\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\n[1] \tThe note. in note"), std::u16string::npos);
}

TEST(RichEditStructure, EditingBesideTheStructuresKeepsThem)
{
    QTextDocument doc;
    fromModel(doc, richPage());
    QTextCursor cursor = doc.find(QStringLiteral("end"));
    ASSERT_FALSE(cursor.isNull());
    cursor.insertText(QStringLiteral("finish"));
    Document expected = richPage();
    expected.paragraphs.back().runs[0].text = u"finish";
    EXPECT_EQ(toModel(doc), expected);
}

TEST(RichEditStructure, SelectionIntoATableKeepsItsCellsAndPasteAddsNotes)
{
    QTextDocument doc;
    fromModel(doc, richPage());
    QTextCursor cursor(&doc);
    cursor.setPosition(doc.find(QStringLiteral("now")).selectionStart());
    cursor.setPosition(doc.find(QStringLiteral("B1")).selectionEnd(), QTextCursor::KeepAnchor);
    const Document selected = selectionToModel(cursor);
    ASSERT_EQ(selected.notes.size(), 1u); // the reference was selected, its note comes along
    EXPECT_EQ(PlainText(selected).substr(0, 10), u"now\nA1\tB1\n");
    ASSERT_GE(selected.paragraphs.size(), 3u);
    EXPECT_EQ(selected.paragraphs[2].end, CellEnd::Row);

    Paragraph referring = plain(u"x");
    referring.runs.push_back(RtfRun{std::u16string(1, kObjectChar), {}, 0, 1});
    QTextDocument other;
    fromModel(other, Document{{referring}, {}, {}, {}, {}, {Note{{plain(u"own note")}, false}}});
    QTextCursor end(&other);
    end.setPosition(1);
    insertModel(end, selected);
    const Document pasted = toModel(other);
    ASSERT_EQ(pasted.notes.size(), 2u);
    EXPECT_EQ(PlainText(Document{pasted.notes[0].paragraphs}), u"\tThe note.\nin note");
    EXPECT_EQ(PlainText(Document{pasted.notes[1].paragraphs}), u"own note");
    EXPECT_EQ(PlainText(pasted).substr(0, 6), u"xnow\nA");
}

// Pages written by other programs come out of the editor as they went in.
TEST(RichEditStructure, PagesOfOtherProgramsComeBackUnchanged)
{
    const std::filesystem::path corpus(QUILLORY_CORPUS_DIR);
    const std::filesystem::path fixtures(QUILLORY_FIXTURE_DIR);
    for (const std::filesystem::path& file :
         {corpus / "rtf/striprtf/rtf/nested_table.rtf", corpus / "rtf/striprtf/rtf/simple_table.rtf",
          corpus / "rtf/striprtf/rtf/issue_29_good.rtf", corpus / "rtf/striprtf/rtf/hyperlinks.rtf",
          corpus / "rtf/rtfjs/simplepng/source.rtf", fixtures / "interop/lo-letter.rtf",
          fixtures / "interop/pandoc-formatted.rtf"}) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in);
        const Document page = ReadRtf(std::string{std::istreambuf_iterator<char>(in), {}});
        QTextDocument doc;
        fromModel(doc, page);
        EXPECT_EQ(toModel(doc), page);
    }
}

} // namespace
} // namespace quillory::richedit
