#include "support/FormFixture.h"

#include "ui/access/Contrast.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QPainter>

using namespace quillory;
using namespace quillory::test;

namespace {

const std::string kLongName = "A rather long item name that cannot fit";

class Lists : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        std::vector<std::string> items;
        for (int i = 1; i <= 11; ++i)
            items.push_back("Item " + std::to_string(i));
        items.push_back(kLongName);
        const fs::path project = makeProject("L.qlyp.dir", items);
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Item 4"});
        writeFile(dataDir() / "Recent", "/home/ann/Notes/Work.QLYP.DIR\r\n" + project.string() + "\r\n");
        start();
    }

    // One row as the list paints it, on a canvas as wide as the list's rows.
    using Draw = void (TForm1::*)(QPainter&, int, const QRect&, QStyle::State);
    [[nodiscard]] QImage row(Draw draw, const QListWidget* list, int index, int height) const
    {
        QImage image(list->viewport()->width(), height, QImage::Format_RGB32);
        image.fill(Qt::cyan); // nothing may be left unpainted
        QPainter painter(&image);
        (form.get()->*draw)(painter, index, QRect(0, 0, image.width(), height), {});
        return image;
    }
    [[nodiscard]] QImage itemRow(int index) const { return row(&TForm1::LBDrawItem, form->LB, index, 20); }

    // Pixels in `area` that are neither the background at (1, 1) nor close to it.
    [[nodiscard]] static int inked(const QImage& image, const QRect& area)
    {
        const QColor background = image.pixelColor(1, 1);
        int count = 0;
        const QRect r = area.intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                             std::abs(c.blue() - background.blue()) >
                         150;
            }
        return count;
    }
    [[nodiscard]] static int rightmostInk(const QImage& image)
    {
        for (int x = image.width() - 1; x >= 0; --x)
            if (inked(image, QRect(x, 0, 1, image.height())) > 0)
                return x;
        return -1;
    }
    [[nodiscard]] static bool anyPixel(const QImage& image, const std::function<bool(const QColor&)>& test)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (test(image.pixelColor(x, y)))
                    return true;
        return false;
    }
};

} // namespace

TEST_F(Lists, SelectedRowsAreMaroonOnTheButtonFace)
{
    ASSERT_EQ(form->LB->currentRow(), 3);
    const QPalette palette = form->LB->palette();
    struct Case {
        QImage image;
        bool selected;
    };
    const Case cases[] = {
        {itemRow(3), true},
        {itemRow(2), false},
        {row(&TForm1::OpenRecentDrawItem, form->OpenRecent, 0, 30), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.image.pixelColor(1, 1), palette.color(c.selected ? QPalette::Button : QPalette::Base));
        const bool maroon =
            anyPixel(c.image, [](const QColor& p) { return p.red() > 90 && p.green() < 40 && p.blue() < 40; });
        EXPECT_EQ(maroon, c.selected);
        EXPECT_GT(inked(c.image, c.image.rect()), 0);
    }
    form->OpenRecent->setCurrentRow(0);
    const QImage recent = row(&TForm1::OpenRecentDrawItem, form->OpenRecent, 0, 30);
    EXPECT_EQ(recent.pixelColor(1, 1), palette.color(QPalette::Button));
}

// A dark theme's window and button colours would swallow black and maroon text.
TEST_F(Lists, UnderADarkThemeRowsTakeTheThemesTextAndAMaroonLightEnoughToRead)
{
    QPalette dark = form->LB->palette();
    dark.setColor(QPalette::Base, QColor(0x23, 0x26, 0x29));
    dark.setColor(QPalette::Button, QColor(0x31, 0x36, 0x3b));
    dark.setColor(QPalette::Text, QColor(0xfc, 0xfc, 0xfc));
    form->LB->setPalette(dark);
    form->OpenRecent->setPalette(dark);
    form->OpenRecent->setCurrentRow(0);
    struct Case {
        const char* what;
        QImage image;
        bool selected;
    };
    const Case cases[] = {
        {"selected item", itemRow(3), true},
        {"item", itemRow(2), false},
        {"selected recent project", row(&TForm1::OpenRecentDrawItem, form->OpenRecent, 0, 30), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QColor background = c.image.pixelColor(1, 1);
        EXPECT_EQ(background, dark.color(c.selected ? QPalette::Button : QPalette::Base));
        // The text's pen: the pixel that stands out most, where a stroke covers it whole.
        QColor pen = background;
        for (int y = 0; y < c.image.height(); ++y)
            for (int x = 0; x < c.image.width(); ++x)
                if (contrastRatio(c.image.pixelColor(x, y), background) > contrastRatio(pen, background))
                    pen = c.image.pixelColor(x, y);
        EXPECT_GE(contrastRatio(pen, background), kTextContrast);
        if (c.selected) {
            EXPECT_NEAR(pen.hslHueF(), 0.0, 0.02) << "maroon's hue, lightened";
        } else {
            EXPECT_EQ(pen, dark.color(QPalette::Text));
        }
    }
}

TEST_F(Lists, FunctionKeyLabelsMarkTheFirstNineRowsAndTakeRoomFromTheNames)
{
    const int width = form->LB->viewport()->width();
    const QRect label(width - 15, 5, 15, 12);
    for (const bool on : {true, false}) {
        form->EnableFunctionKeyCopy->setChecked(on);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(inked(itemRow(i), label) > 0, on && i < 9) << "row " << i << (on ? " labels on" : " labels off");
        // The long name is shortened to its room, and the room is 16 pixels less with the labels.
        const int room = form->LB->width() - (on ? 26 : 10);
        const int right = rightmostInk(itemRow(11));
        EXPECT_LE(right, 5 + room) << (on ? "labels on" : "labels off");
        EXPECT_GT(right, 5 + room - 40) << (on ? "labels on" : "labels off");
    }
}

TEST_F(Lists, ARecentEntryShowsItsNameOverItsFolderInSmallPrint)
{
    const QImage image = row(&TForm1::OpenRecentDrawItem, form->OpenRecent, 0, 30);
    const int nameInk = inked(image, QRect(0, 2, image.width(), 15));
    const int folderInk = inked(image, QRect(0, 18, image.width(), 12));
    EXPECT_GT(nameInk, 0);
    EXPECT_GT(folderInk, 0);
    // The folder line is small print: narrower strokes than the name's despite more characters.
    EXPECT_LT(folderInk, nameInk * 3);
}

TEST_F(Lists, FontBoxDrawsEachEntryInItsOwnTypefaceAtTenPoints)
{
    const int serif = form->FontBox->findText(QStringLiteral("DejaVu Serif"));
    ASSERT_GE(serif, 0);
    QImage drawn(150, 20, QImage::Format_RGB32);
    {
        QPainter painter(&drawn);
        form->FontBoxDrawItem(painter, serif, drawn.rect(), {});
    }
    QImage expected(drawn.size(), QImage::Format_RGB32);
    expected.fill(drawn.pixelColor(0, 0));
    {
        QPainter painter(&expected);
        painter.setFont(QFont(QStringLiteral("DejaVu Serif"), 10));
        painter.setPen(form->FontBox->view()->palette().color(QPalette::Text));
        painter.drawText(QPoint(5, painter.fontMetrics().ascent()), QStringLiteral("DejaVu Serif"));
    }
    EXPECT_EQ(drawn, expected);
}
