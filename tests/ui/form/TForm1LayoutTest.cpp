#include "support/FormFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <QToolButton>

using namespace quillory;
using namespace quillory::test;

namespace {

class Layout : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        start();
    }

    // Layouts answer a font's change through posted requests, one level at a time.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    // The toolbar's left-hand controls in their designed order, with their designed places.
    [[nodiscard]] std::vector<std::pair<QWidget*, QRect>> leftControls() const
    {
        return {{form->SpeedButton1, {2, 1, 20, 22}},    {form->SpeedButton2, {20, 1, 20, 22}},
                {form->Bevels[0], {42, 2, 3, 20}},       {form->SpeedButton3, {45, 1, 20, 22}},
                {form->SpeedButton4, {68, 1, 20, 22}},   {form->SpeedButton5, {94, 1, 20, 22}},
                {form->Bevels[1], {121, 2, 3, 20}},      {form->SpeedButton7, {130, 1, 22, 22}},
                {form->SpeedButton8, {154, 1, 22, 22}},  {form->Bevels[2], {183, 2, 3, 20}},
                {form->FontBox, {192, 1, 143, 22}},      {form->SizeBox, {337, 2, 41, 21}},
                {form->SpeedButton10, {381, 3, 15, 19}}, {form->SpeedButton11, {395, 3, 15, 19}},
                {form->SpeedButton12, {410, 3, 15, 19}}, {form->SpeedButton13, {423, 3, 15, 19}},
                {form->Colour, {441, 3, 47, 20}},        {form->SpeedButton14, {492, 1, 22, 22}},
                {form->SpeedButton15, {513, 1, 22, 22}}, {form->SpeedButton16, {535, 1, 22, 22}},
                {form->SpeedButton17, {558, 1, 22, 22}}, {form->Bevels[3], {583, 2, 3, 20}}};
    }
};

} // namespace

TEST_F(Layout, AtTheDefaultFontEveryControlStandsWhereItWasDesigned)
{
    settle();
    for (const auto& [control, design] : leftControls())
        EXPECT_EQ(control->geometry(), design) << control->objectName().toStdString();
    // The last two keep their distance from the right edge of the designed 639 pixels.
    const int width = form->Panel1->width();
    EXPECT_EQ(form->SpeedButton9->geometry(), QRect(width - (639 - 591), 2, 20, 22));
    EXPECT_EQ(form->SpeedButton6->geometry(), QRect(width - (639 - 615), 1, 20, 22));
    EXPECT_EQ(form->Panel1->height(), 26);
    EXPECT_EQ(form->StatusBar->height(), 19);
    EXPECT_EQ(form->minimumWidth(), 655);
    // The status fields as designed, or as wide as their captions need where the design's font
    // was narrower than this one (DejaVu Sans sets "Cursor Position:" wider than 90 pixels).
    const int widths[] = {90, 70, 70, 60, 50};
    for (std::size_t i = 0; i < form->StatusPanels.size(); ++i)
        EXPECT_EQ(form->StatusPanels[i]->width(), std::max(widths[i], form->StatusPanels[i]->sizeHint().width()))
            << "status field " << i;
}

TEST_F(Layout, ALargerFontWidensWhatShowsTextAndClipsNothing)
{
    QFont large = form->font();
    large.setPointSizeF(large.pointSizeF() * 2);
    form->setFont(large);
    settle();
    form->resize(form->minimumSize()); // the narrowest the window goes
    settle();
    EXPECT_GT(form->minimumWidth(), 655);

    EXPECT_GT(form->Panel1->height(), 26);
    EXPECT_GT(form->StatusBar->height(), 19);
    for (const QComboBox* box : {form->FontBox, form->SizeBox}) {
        EXPECT_GE(box->width(), box->minimumSizeHint().width()) << box->objectName().toStdString();
        EXPECT_GE(box->height(), box->minimumSizeHint().height()) << box->objectName().toStdString();
        EXPECT_GE(box->geometry().top(), 0);
        EXPECT_LE(box->geometry().bottom(), form->Panel1->height() - 1);
    }
    // Neighbours overlap no more than they were designed to (the first two buttons by two pixels).
    const auto controls = leftControls();
    for (std::size_t i = 1; i < controls.size(); ++i) {
        const auto& [before, designBefore] = controls[i - 1];
        const auto& [after, designAfter] = controls[i];
        const int designed = designBefore.right() - designAfter.left();
        EXPECT_LE(before->geometry().right() - after->geometry().left(), designed)
            << before->objectName().toStdString() << " over " << after->objectName().toStdString();
    }
    EXPECT_LT(form->Bevels[3]->geometry().right(), form->SpeedButton9->geometry().left());
    // Each status field as wide as its caption or the largest number it shows.
    const QFontMetrics metrics(form->StatusPanels[0]->font());
    const QString widest[] = {QStringLiteral("Cursor Position:"), QStringLiteral("00000000"),
                              QStringLiteral("Line Count:"), QStringLiteral("0000000"), QStringLiteral("Edited")};
    for (std::size_t i = 0; i < form->StatusPanels.size(); ++i)
        EXPECT_GE(form->StatusPanels[i]->contentsRect().width(), metrics.horizontalAdvance(widest[i]))
            << "status field " << i;
}

TEST_F(Layout, TheStatusBarsNumbersAreLabelledForScreenReaders)
{
    EXPECT_EQ(form->StatusPanels[0]->buddy(), form->StatusPanels[1]);
    EXPECT_EQ(form->StatusPanels[2]->buddy(), form->StatusPanels[3]);
    EXPECT_FALSE(form->StatusBar->accessibleName().isEmpty());
}
