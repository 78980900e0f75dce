#include "ui/PageEdit.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>

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
