#include "ui/about/TForm2.h"

#include <cstdlib>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace quillory;

namespace {

// The frame's top-left corner the About window must take over a main window whose frame is mainFrame.
QPoint expectedAboutPos(const QRect& mainFrame, const TForm2& about)
{
    return {mainFrame.left() + mainFrame.width() / 2 - about.frameGeometry().width() / 2, mainFrame.top() + 42};
}

} // namespace

TEST(TForm2, CentresOnTheMainWindowAndSits42PixelsBelowItsTopOnEveryShow)
{
    QWidget main;
    main.setGeometry(100, 200, 639, 480);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    TForm2 about(&main);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    const QRect mainFrame = main.frameGeometry();
    EXPECT_EQ(about.frameGeometry().left(), expectedAboutPos(mainFrame, about).x());
    EXPECT_EQ(about.frameGeometry().top(), mainFrame.top() + 42);
    // Horizontal centres agree up to the odd pixel that integer halving drops.
    EXPECT_LE(std::abs(about.frameGeometry().center().x() - mainFrame.center().x()), 1);
    about.accept();

    // The main window moved while the About window was closed: the next show follows it.
    main.move(400, 50);
    QTRY_COMPARE_WITH_TIMEOUT(main.frameGeometry().topLeft(), QPoint(400, 50), 2000);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.frameGeometry().left(), expectedAboutPos(main.frameGeometry(), about).x());
    EXPECT_EQ(about.frameGeometry().top(), 50 + 42);
    about.accept();
}

TEST(TForm2, IsAFixedSizeModalWindowThatOkCloses)
{
    QWidget main;
    TForm2 about(&main);
    EXPECT_EQ(about.objectName(), QStringLiteral("Form2"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Quillory"));
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.isSizeGripEnabled());

    const QSize before = about.size();
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    about.resize(before.width() + 200, before.height() + 100);
    EXPECT_EQ(about.size(), before);

    auto* ok = about.findChild<QPushButton*>(QStringLiteral("AboutOK"));
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(TForm2, ShowsNameVersionFromTheBuildAndDescription)
{
    QWidget main;
    TForm2 about(&main);
    const auto text = [&](const char* name) {
        auto* label = about.findChild<QLabel*>(QString::fromLatin1(name));
        return label != nullptr ? label->text() : QStringLiteral("<missing>");
    };
    EXPECT_EQ(text("AboutName"), QStringLiteral("Quillory"));
    EXPECT_EQ(text("AboutVersion"), QStringLiteral("Version " QUILLORY_TEST_VERSION));
    EXPECT_EQ(text("AboutDescription"),
              QStringLiteral("A rich-text notebook in the system tray: prepared text into any program, fast."));
    auto* icon = about.findChild<QLabel*>(QStringLiteral("AboutIcon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
}
