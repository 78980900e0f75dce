#include "platform/qt/PromptDialog.h"
#include "support/ScriptedDesktop.h"
#include "ui/form/TForm1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillory;
using quillory::test::ScriptedDesktop;

TEST(PromptForText, ReturnsTheTextOrMinusOneAndRestartsTheTick)
{
    ScriptedDesktop desktop;
    TForm1 form(desktop);
    bool tickStoppedWhileOpen = false;
    const auto checkTick = [&] { tickStoppedWhileOpen = !form.Timer1->isActive(); };

    desktop.expectPrompt(std::u16string(), checkTick);
    EXPECT_EQ(form.PromptForText(u"Project Name.", u"Give this project a title.", u"old"), u"");
    EXPECT_TRUE(tickStoppedWhileOpen);
    EXPECT_TRUE(form.Timer1->isActive());

    tickStoppedWhileOpen = false;
    desktop.expectPrompt(std::nullopt, checkTick);
    EXPECT_EQ(form.PromptForText(u"T", u"P", u"x"), u"-1");
    EXPECT_TRUE(tickStoppedWhileOpen);
    EXPECT_TRUE(form.Timer1->isActive());

    ASSERT_EQ(desktop.shown.size(), 2u);
    EXPECT_EQ(desktop.shown[0].extra, u"Give this project a title.|old");
}

TEST(PromptForText, DropsStayOnTopWhileAsking)
{
    ScriptedDesktop desktop;
    TForm1 form(desktop);
    form.show();
    desktop.setStayOnTop(form, true);
    bool onTopWhileOpen = true;
    desktop.expectPrompt(u"x", [&] { onTopWhileOpen = form.isStayOnTop(); });
    (void)form.PromptForText(u"T", u"P", u"");
    EXPECT_FALSE(onTopWhileOpen);
}

TEST(PromptDialog, EnterConfirmsEscapeCancelsAndTheTextStartsSelected)
{
    {
        PromptDialog dialog(QStringLiteral("T"), QStringLiteral("P"), QStringLiteral("initial"), nullptr);
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("PromptEdit"));
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->maxLength(), 255);
        dialog.open();
        EXPECT_EQ(edit->selectedText(), QStringLiteral("initial"));
        edit->clear();
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.text(), QString());
    }
    {
        PromptDialog dialog(QStringLiteral("T"), QStringLiteral("P"), QStringLiteral("x"), nullptr);
        dialog.open();
        QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("PromptEdit")), Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}

TEST(PromptDialog, ButtonsSitBelowTheFieldInDialogUnits)
{
    PromptDialog dialog(QStringLiteral("T"), QStringLiteral("A prompt"), QString(), nullptr);
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("PromptEdit"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("PromptOK"));
    auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("PromptCancel"));
    ASSERT_TRUE(edit && ok && cancel);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->y(), edit->geometry().bottom() + 1 + 15);
    EXPECT_EQ(cancel->y(), ok->y());
    EXPECT_LT(ok->x(), cancel->x());
    EXPECT_EQ(dialog.height(), ok->geometry().bottom() + 1 + 13);
    EXPECT_EQ(edit->width() * 180 / 164, dialog.width()); // 164 of 180 units wide
}
