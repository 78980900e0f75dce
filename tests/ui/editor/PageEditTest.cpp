#include "ui/editor/PageEdit.h"

#include "core/rtf/Rtf.h"
#include "ui/editor/RichEdit.h"
#include "ui/editor/RichEditParts.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillory {
namespace {

// The names of the pictures a document shows.
QStringList PicturesOf(const QTextDocument& document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                names << it.fragment().charFormat().toImageFormat().name();
    return names;
}

struct Editor : PageEdit {
    using PageEdit::insertFromMimeData;
};

// Copying from a web page puts HTML on the clipboard whose pictures are addresses. A paste loads
// none of them from the disk: a private picture would join the page (and a shared project), a
// pipe or /dev/zero would hang the program.
TEST(PastedPictures, NoneIsReadFromTheDiskOrItsDevices)
{
    const test::TempDir dir;
    const auto png = dir / "passport.png";
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(png.string())));
    QByteArray inline_;
    QBuffer buffer(&inline_);
    picture.save(&buffer, "PNG");
    const QString dataUri = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(inline_.toBase64());

    Editor edit;
    QMimeData pasted;
    pasted.setHtml(QStringLiteral("<p>before<img src=\"%1\"><img src=\"file://%1\"><img src=\"%2\">after</p>")
                       .arg(QString::fromStdString(png.string()), dataUri));
    edit.insertFromMimeData(&pasted);
    EXPECT_EQ(edit.toPlainText().remove(QChar::ObjectReplacementCharacter), QStringLiteral("beforeafter"));
    // Only the picture the pasted text carries itself is on the page; the others would be read
    // from the disk as the page is laid out.
    EXPECT_EQ(PicturesOf(*edit.document()), QStringList{dataUri});
    pasted.setHtml(QStringLiteral("<table style=\"background-image: url(%1)\"><tr><td>cell</td></tr></table>"
                                  "<p style=\"background-image: url(file:///dev/zero)\">para</p>")
                       .arg(QString::fromStdString(png.string())));
    edit.insertFromMimeData(&pasted);
    EXPECT_EQ(edit.toHtml().indexOf(QStringLiteral("background-image")), -1);
}

} // namespace
} // namespace quillory

namespace quillory {
namespace {

std::size_t GridCells(const QTextDocument& document)
{
    std::size_t cells = 0;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            cells += static_cast<std::size_t>(table->rows()) * static_cast<std::size_t>(table->columns());
    return cells;
}

// HTML of a row of 6,000 cells over 3,000 rows of one: a parser would lay out 18 million cells.
TEST(PastedTables, OnesThatWouldCostMillionsOfCellsKeepTheirTextAlone)
{
    QString html = QStringLiteral("<table><tr>") + QStringLiteral("<td>w</td>").repeated(6000) +
                   QStringLiteral("</tr>") + QStringLiteral("<tr><td>n</td></tr>").repeated(3000) +
                   QStringLiteral("</table>");
    Editor editor;
    QMimeData data;
    data.setHtml(html);
    data.setText(QStringLiteral("the text"));
    editor.insertFromMimeData(&data);
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("the text"));
    EXPECT_EQ(GridCells(*editor.document()), 0u);

    // A real table still comes as a table.
    data.setHtml(QStringLiteral("<table><tr><td>a</td><td>b</td></tr></table>"));
    editor.clear();
    editor.insertFromMimeData(&data);
    EXPECT_EQ(GridCells(*editor.document()), 2u);
}

// The same page as RTF, which the reader caps at 512 cells a row: the editor lays the wide row out
// apart, so the grids stay near the cells the page has, and every cell's text comes back.
TEST(BuiltTables, AWideRowAmongNarrowOnesGetsAGridOfItsOwn)
{
    std::string rtf = "{\\rtf1\\trowd\\intbl ";
    for (int c = 0; c < 6000; ++c)
        rtf += "w\\cell ";
    rtf += "\\row ";
    for (int r = 0; r < 3000; ++r)
        rtf += "\\intbl n\\cell\\row ";
    rtf += "}";
    const rtf::Document page = rtf::ReadRtf(rtf);
    QTextDocument document;
    richedit::fromModel(document, page);
    EXPECT_LT(GridCells(document), 4u * (512 + 3000) + 64);
    EXPECT_EQ(richedit::toModel(document), page);
}

// Text of thousands of points takes Qt minutes to lay out; a page from elsewhere (a paste read
// back) is shown at the largest size word processors offer.
TEST(BuiltText, SizesBeyondWordProcessorsAreShownAtTheirLargest)
{
    rtf::Document page;
    page.paragraphs.push_back(rtf::Paragraph{});
    page.paragraphs[0].runs.push_back(rtf::Run{u"big", rtf::CharFormat{{}, 99999}});
    QTextDocument document;
    richedit::fromModel(document, page);
    EXPECT_EQ(document.firstBlock().begin().fragment().charFormat().fontPointSize(), 1638);
}

TEST(BuiltLists, ABulletQtHasNoStyleForIsDrawnByTheEditorAndKept)
{
    rtf::Document page;
    page.lists.push_back(rtf::List{
        {rtf::ListLevel{rtf::ListKind::Bullet, 1, u'\u2043'}, rtf::ListLevel{rtf::ListKind::Bullet, 1, u'\u25AA'}}});
    for (std::uint8_t level : {0, 1}) {
        rtf::Paragraph p;
        p.list = 1;
        p.level = level;
        p.numbering = rtf::Numbering::Bullet;
        p.runs.push_back(rtf::Run{u"item", {}});
        page.paragraphs.push_back(p);
    }
    Editor editor;
    richedit::fromModel(*editor.document(), page);
    EXPECT_EQ(richedit::listBullet(editor.document()->firstBlock()), QStringLiteral("\u2043"));
    EXPECT_EQ(richedit::listBullet(editor.document()->lastBlock()), QString()); // Qt's own square
    EXPECT_EQ(richedit::numberingOf(editor.document()->firstBlock()), rtf::Numbering::Bullet);
    EXPECT_EQ(richedit::toModel(*editor.document()), page);
    editor.resize(300, 200);
    editor.show();
    editor.repaint(); // draws the bullet without a fault
}

// A PNG header can claim gigapixels in a few bytes; such a picture is kept but shown as a box.
TEST(BuiltPictures, OnesBeyondAnyCameraAreNotDecoded)
{
    QImage small(3, 2, QImage::Format_RGB32);
    small.fill(Qt::green);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    // The header's width, made 200,000 pixels; its checksum then no longer holds, and no reader
    // may trust the size either way.
    QByteArray huge = png;
    huge[16] = 0;
    huge[17] = 0x03;
    huge[18] = 0x0D;
    huge[19] = 0x40;
    for (const auto& [bytes, decoded] : {std::pair{png, true}, std::pair{huge, false}}) {
        rtf::Picture picture;
        picture.kind = rtf::PictureKind::Png;
        picture.goalWidth = 2147483647;
        picture.goalHeight = 300;
        picture.data.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        QTextDocument document;
        const QTextImageFormat format = richedit::detail::pictureFormat(picture, document);
        const QImage shown = document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
        EXPECT_EQ(shown.size() == small.size(), decoded);
        EXPECT_LE(format.width(), 20000);
        EXPECT_EQ(richedit::detail::pictureOf(format, &document), picture);
    }
}

} // namespace
} // namespace quillory
