#include "support/FormFixture.h"

#include "core/rtf/Rtf.h"
#include "core/store/OrderStamp.h"
#include "platform/QtText.h"
#include "support/PagePrinter.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace quillory;
using namespace quillory::test;

namespace {

std::string pngHex()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toHex().toStdString();
}

// A page in the shape LibreOffice writes: a link, a table, a picture for readers of shapes and
// another for the others, a nested list, hidden text and a footnote.
std::string foreignPage()
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}}"
           "{\\colortbl;\\red0\\green0\\blue128;}"
           "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
           "{\\levelnumbers\\'01;}\\fi-360\\li720}{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'02\\'01.;}"
           "{\\levelnumbers\\'01;}\\fi-360\\li1080}\\listid1}}"
           "{\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}"
           "{\\*\\generator LibreOffice/7.4;}\n"
           "\\pard\\plain See {\\field{\\*\\fldinst HYPERLINK \"https://example.org/page?a=1\" }{\\fldrslt {\\cf1\\ul "
           "the example}}} now.\\par\n"
           "\\trowd\\cellx2000\\cellx4000\\pard\\intbl A1\\cell\\pard\\intbl B1\\cell\\row\n"
           "\\pard Picture: {\\*\\shppict{\\pict\\pngblip\\picw2\\pich2\\picwgoal300\\pichgoal300 " +
           pngHex() +
           "}}{\\nonshppict{\\pict\\wmetafile8 0102}} after.\\par\n"
           "{\\listtext\\pard\\plain 1.\\tab}\\pard\\ls1\\ilvl0 one\\par\n"
           "{\\listtext\\pard\\plain a.\\tab}\\pard\\ls1\\ilvl1 sub\\par\n"
           "\\pard A {\\v secret} word.\\par\n"
           "\\pard Noted{\\super\\chftn{\\*\\footnote\\chftn\\pard\\plain \\tab The note.}} here.\\par\n}";
}

class ForeignPage : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"C", "A"});
        foreign = foreignPage();
        writeFile(project / "A", foreign);
        fs::last_write_time(project / "A", store::OrderStamp(1));
        writeConfig({.projectPath = project.u16string(), .currentItem = u"C"});
        start();
        click(1); // A
        ASSERT_EQ(form->CurrentItem, u"A");
    }

    // The centre of the character at `position` of the editor, in its viewport.
    QPoint pointAt(int position) const
    {
        QTextCursor at(form->RE->document());
        at.setPosition(position);
        return form->RE->cursorRect(at).center() + QPoint(3, 0);
    }

    fs::path project;
    std::string foreign;
};

TEST_F(ForeignPage, OnlyViewedItKeepsItsBytes)
{
    click(0);
    EXPECT_EQ(readFile(bufferDir() / "A"), foreign);
    form->SaveProject1Click(form->SaveProject1);
    EXPECT_EQ(readFile(project / "A"), foreign);
}

TEST_F(ForeignPage, AnEditUndoneIsNoEdit)
{
    type(QStringLiteral("x"));
    form->RE->undo();
    form->RE->undo(); // one more than there was, as an impatient user presses
    click(0);
    EXPECT_EQ(readFile(bufferDir() / "A"), foreign);
    // An edit undone and redone is an edit.
    click(1);
    type(QStringLiteral("y"));
    form->RE->undo();
    form->RE->redo();
    click(0);
    EXPECT_NE(readFile(bufferDir() / "A"), foreign);
}

TEST_F(ForeignPage, EditedItKeepsItsTableLinkListsPicturesHiddenTextAndNote)
{
    QTextCursor word = form->RE->document()->find(QStringLiteral("Picture"));
    ASSERT_FALSE(word.isNull());
    word.insertText(QStringLiteral("Image"));
    click(0);
    const std::string written = readFile(bufferDir() / "A");
    ASSERT_NE(written, foreign);

    rtf::Document expected = rtf::ReadRtf(foreign);
    for (rtf::Paragraph& p : expected.paragraphs)
        for (rtf::Run& r : p.runs)
            if (r.text == u"Picture: ")
                r.text = u"Image: ";
    const rtf::Document back = rtf::ReadRtf(written);
    EXPECT_EQ(back, expected);
    ASSERT_EQ(back.pictures.size(), 1u);
    EXPECT_EQ(back.rows.size(), 1u);
    EXPECT_EQ(back.links, std::vector<std::u16string>{u"https://example.org/page?a=1"});
    EXPECT_EQ(back.notes.size(), 1u);
}

TEST_F(ForeignPage, CtrlClickOnALinkOpensItsTarget)
{
    const int link = form->RE->document()->find(QStringLiteral("example")).selectionStart();
    QTest::mouseClick(form->RE->viewport(), Qt::LeftButton, Qt::NoModifier, pointAt(link));
    EXPECT_TRUE(desktop.opened.empty()); // a plain click only places the caret
    QTest::mouseClick(form->RE->viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(link));
    EXPECT_EQ(desktop.opened, std::vector<std::u16string>{u"https://example.org/page?a=1"});

    desktop.openResult = links::ShellResult::FileNotFound;
    desktop.expectInfo();
    QTest::mouseClick(form->RE->viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(link));
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info),
              std::vector<std::u16string>{u"The specified file was not found."});
    EXPECT_FALSE(form->Edited);
}

// A second Ctrl+click that follows quickly is reported as a double click; it opens the link
// again rather than selecting the word under it.
TEST_F(ForeignPage, AQuickSecondCtrlClickOnALinkOpensItAgain)
{
    const int link = form->RE->document()->find(QStringLiteral("example")).selectionStart();
    QTest::mouseClick(form->RE->viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(link));
    QTest::mouseDClick(form->RE->viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(link));
    EXPECT_EQ(desktop.opened, std::vector<std::u16string>(2, u"https://example.org/page?a=1"));
    EXPECT_FALSE(form->RE->textCursor().hasSelection());
}

TEST_F(ForeignPage, TheCopiedPlainTextCarriesMarkersAndCells)
{
    form->CopyItemtoClipboardCtrlF4Hotkey1Click(form.get());
    const QString text = QGuiApplication::clipboard()->mimeData()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("A1\tB1\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("1.\tone\na.\tsub\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Noted[1] here.\n[1] \tThe note."))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("secret")));
}

} // namespace
