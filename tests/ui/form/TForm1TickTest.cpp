#include "support/FormFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QWindow>

#include <sys/stat.h>

using namespace quillory;
using namespace quillory::test;

namespace {

class Tick : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        start();
        tick();
    }
    [[nodiscard]] QString panel(int i) const { return form->StatusPanels[static_cast<std::size_t>(i)]->text(); }
};

struct WidgetState {
    QString title, panels[5];
    bool visible, onTop;
    QTextEdit::LineWrapMode wrap;
    friend bool operator==(const WidgetState&, const WidgetState&) = default;
};

} // namespace

TEST_F(Tick, CaptionAndPanelFollowEditedWithinOneTick)
{
    const std::string caption = "Quillory - " + defaultProject().string();
    EXPECT_EQ(form->windowTitle().toStdString(), caption);
    EXPECT_EQ(panel(4), QStringLiteral("Saved"));
    type(QStringLiteral("x"));
    EXPECT_TRUE(form->Edited);
    tick();
    EXPECT_EQ(form->windowTitle().toStdString(), caption + " *");
    EXPECT_EQ(panel(4), QStringLiteral("Edited"));
    form->SaveProject1Click(form.get());
    tick();
    EXPECT_EQ(form->windowTitle().toStdString(), caption);
    EXPECT_EQ(panel(4), QStringLiteral("Saved"));
}

TEST_F(Tick, CaretAndLineCountPanels)
{
    EXPECT_EQ(panel(1), QStringLiteral("0"));
    EXPECT_EQ(panel(3), QStringLiteral("0")); // an empty editor
    type(QStringLiteral("one\ntwo\nthree"));
    tick();
    EXPECT_EQ(panel(1), QStringLiteral("13"));
    EXPECT_EQ(panel(3), QStringLiteral("3"));
    type(QStringLiteral("\n"));
    tick();
    EXPECT_EQ(panel(3), QStringLiteral("3")); // a final empty line does not count
}

TEST_F(Tick, StayOnTopFollowsTheOptionButNotInHelpMode)
{
    form->SOT->setChecked(true);
    tick();
    EXPECT_TRUE(form->isStayOnTop());
    form->SOT->setChecked(false);
    form->SpeedButton9Click(form->SpeedButton9);
    tick();
    EXPECT_TRUE(form->isStayOnTop()); // help mode leaves it as it is
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);
    form->SpeedButton9Click(form->SpeedButton9);
    tick();
    EXPECT_FALSE(form->isStayOnTop());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Tick, WordwrapIsAppliedWithItsScrollBars)
{
    form->Wordwrap->setChecked(false);
    tick();
    EXPECT_EQ(form->RE->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(form->RE->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    form->Wordwrap->setChecked(true);
    tick();
    EXPECT_EQ(form->RE->lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_EQ(form->RE->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(Tick, AnIdleTickTouchesNoFileAndChangesNoWidget)
{
    tick();
    const auto state = [&] {
        WidgetState s{form->windowTitle(), {}, form->isVisible(), form->isStayOnTop(), form->RE->lineWrapMode()};
        for (int i = 0; i < 5; ++i)
            s.panels[i] = panel(i);
        return s;
    };
    const auto stamp = [](const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return std::pair{st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    };
    const auto recentBefore = stamp(dataDir() / "Recent");
    const auto bufferBefore = stamp(bufferDir() / "Wibble");
    const auto folderBefore = stamp(dataDir());
    const WidgetState before = state();
    int titleChanges = 0;
    QObject::connect(form.get(), &QWidget::windowTitleChanged, [&] { ++titleChanges; });
    for (int i = 0; i < 100; ++i)
        tick();
    EXPECT_EQ(state(), before);
    EXPECT_EQ(titleChanges, 0);
    EXPECT_EQ(stamp(dataDir() / "Recent"), recentBefore);
    EXPECT_EQ(stamp(bufferDir() / "Wibble"), bufferBefore);
    EXPECT_EQ(stamp(dataDir()), folderBefore); // no temporary file came and went
}

namespace {
class TickStart : public FormFixture {};
} // namespace

TEST_F(TickStart, StartInTrayHidesOnTheFirstTickAndRemembersTheSelection)
{
    writeConfig({.startInTray = true});
    start();
    EXPECT_TRUE(form->isVisible());
    form->SavedItemIndex = 7;
    tick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->SavedItemIndex, 0);
    form->show();
    tick();
    EXPECT_TRUE(form->isVisible()); // only once
}
