#include "support/FormFixture.h"

#include "core/store/OrderStamp.h"

#include <QAction>
#include <QTextBlock>
#include <QTextCharFormat>

#include <chrono>
#include <ctime>

using namespace quillory;
using namespace quillory::test;

namespace {

constexpr char kCarPage[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\f0\\fs20 Garage: "
                            "Reminder\\{20160725-1500\\}[Call the garage]\\par\r\n}\r\n";
const std::u16string kCarQuestion = u"You have a reminder set on page \n\nCar\n\nDate: 25-07-2016 at 15:00\n\n"
                                    u"Label: Call the garage\n\nDo you want to view this page?";

std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

class Reminders : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        desktop.clock = LocalTime(2016, 7, 25, 15, 0, 37);
    }
    // A project of the given pages, stamped in this order, opened with `current` shown.
    void open(const std::vector<std::pair<std::string, std::string>>& pages, const std::string& current)
    {
        project = home / "P.qlyp.dir";
        for (std::size_t i = 0; i < pages.size(); ++i) {
            writeFile(project / pages[i].first, pages[i].second);
            fs::last_write_time(project / pages[i].first, store::OrderStamp(i));
        }
        writeConfig({.projectPath = project.u16string(), .currentItem = fs::path(current).u16string()});
        start();
        tick();
    }
    void check() { form->ReminderCheckTimer(form.get()); }
    [[nodiscard]] std::vector<std::u16string> questions() const
    {
        return desktop.texts(ScriptedDesktop::Kind::Confirm);
    }
    fs::path project;
};

} // namespace

TEST_F(Reminders, ADueTagShowsTheWindowAsksAndIsAcknowledgedInItsBufferFile)
{
    open({{"Alpha", "first page"}, {"Car", kCarPage}}, "Alpha");
    form->hide();
    desktop.expectConfirm(Answer::No, [&] {
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(form->isStayOnTop());
        EXPECT_FALSE(form->ReminderCheck->isActive()) << "stopped while the question is open";
    });
    check();
    EXPECT_EQ(questions(), (std::vector<std::u16string>{kCarQuestion}));
    EXPECT_TRUE(form->ReminderCheck->isActive());
    std::string acknowledged = kCarPage;
    acknowledged.replace(acknowledged.find("Reminder"), 25, "Reminder[20160725-1500]");
    EXPECT_EQ(readFile(bufferDir() / "Car"), acknowledged) << "only the tag's bytes change";
    EXPECT_EQ(fs::last_write_time(bufferDir() / "Car"), store::OrderStamp(1));
    EXPECT_EQ(selected(), "Alpha") << "No leaves the selection alone";
    EXPECT_EQ(page(), "first page");
    EXPECT_TRUE(form->Edited);
    tick();
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" *")));

    form->AnyReminders();
    EXPECT_TRUE(form->ReminderList.empty());
    check(); // nothing left to ask
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(Reminders, ListEntriesCarryStampNameAndLabel)
{
    open({{"Alpha", "Reminder{20991231-2359}"},
          {"Car", kCarPage},
          {"Long", "Reminder{20991231-2359}[" + std::string(300, 'x') + "]"},
          {"Old", "Reminder[20160725-1500] done"}},
         "Old");
    form->AnyReminders();
    EXPECT_EQ(form->ReminderList,
              (std::vector<std::u16string>{u"20991231-2359-Alpha\u00A0[No Reminder Label]",
                                           u"20160725-1500-Car\u00A0Call the garage",
                                           u"20991231-2359-Long\u00A0" + std::u16string(250, u'x')}));
}

TEST_F(Reminders, ATagFallsDueWhenItsMinuteBegins)
{
    open({{"Alpha", "first page"}, {"Car", kCarPage}}, "Alpha");
    desktop.clock = LocalTime(2016, 7, 25, 14, 59, 59);
    check();
    EXPECT_TRUE(questions().empty());
    EXPECT_FALSE(form->Edited);
    EXPECT_FALSE(form->ReminderCheck->isActive()) << "only a question stops and starts the timer";
    desktop.clock = LocalTime(2016, 7, 25, 15, 0, 0);
    desktop.expectConfirm(Answer::No);
    check();
    EXPECT_EQ(questions().size(), 1u);
}

TEST_F(Reminders, StampsWithLettersNeverFireAndBlanksFireAtOnce)
{
    open({{"Blanks", "Reminder{        -    }"}, {"Letters", "Reminder{abcdefgh-ijkl}"}}, "Letters");
    desktop.clock = LocalTime(2100, 1, 1, 0, 0, 0);
    desktop.expectConfirm(Answer::No);
    check();
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_NE(questions()[0].find(u"\n\nBlanks\n\n"), std::u16string::npos);
    EXPECT_EQ(readFile(bufferDir() / "Blanks"), "Reminder[        -    ]");
}

TEST_F(Reminders, YesSwitchesToThePageAlsoInHelpMode)
{
    for (const bool help : {false, true}) {
        SCOPED_TRACE(help ? "help mode" : "normal");
        open({{"Alpha", "first page"}, {"Car", kCarPage}}, "Alpha");
        if (help)
            form->SpeedButton9Click(form->SpeedButton9);
        type(QStringLiteral(" typed"));
        desktop.expectConfirm(Answer::Yes);
        check();
        EXPECT_EQ(form->CurrentItem, u"Car");
        EXPECT_EQ(selected(), "Car");
        EXPECT_EQ(page(), "Garage: Reminder[20160725-1500][Call the garage]");
        EXPECT_EQ(form->HelpMode, help);
        EXPECT_NE(readFile(bufferDir() / "Alpha").find("first page typed"), std::string::npos);
        EXPECT_TRUE(form->ReminderCheck->isActive());
        form.reset();
        fs::remove_all(dataDir());
    }
}

TEST_F(Reminders, PagesAskInNameOrderWithinOneCheckAndTagsOfOnePageOneCheckApart)
{
    open({{"b", "Reminder{20160725-1400}[b1] Reminder{20160725-1300}[b2]"},
          {"A", "Reminder{20160725-1200}[a]"},
          {"Alpha", "nothing"}},
         "Alpha");
    desktop.expectConfirm(Answer::No);
    desktop.expectConfirm(Answer::No);
    check();
    desktop.expectConfirm(Answer::No);
    check();
    check();
    const auto asked = questions();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_NE(asked[0].find(u"Label: a\n"), std::u16string::npos);
    EXPECT_NE(asked[1].find(u"Label: b1\n"), std::u16string::npos);
    EXPECT_NE(asked[2].find(u"Label: b2\n"), std::u16string::npos);
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(Reminders, TypingNotYetWrittenIsFoundAndKeptWhenThePageShownIsAcknowledged)
{
    open({{"Alpha", "first page"}, {"Car", kCarPage}}, "Alpha");
    type(QStringLiteral("\nReminder{20160725-1500}[typed]"));
    QTextCursor caret = form->RE->textCursor();
    caret.setPosition(3);
    form->RE->setTextCursor(caret);
    form->Edited = false;
    desktop.expectConfirm(Answer::No); // Alpha, found in the editor
    desktop.expectConfirm(Answer::No); // Car
    check();
    ASSERT_EQ(questions().size(), 2u);
    EXPECT_NE(questions()[0].find(u"\n\nAlpha\n\n"), std::u16string::npos);
    EXPECT_EQ(page(), "first page\nReminder[20160725-1500][typed]");
    EXPECT_NE(readFile(bufferDir() / "Alpha").find("Reminder[20160725-1500][typed]"), std::string::npos);
    EXPECT_EQ(form->RE->textCursor().position(), 3) << "the caret stays where it was";
    EXPECT_TRUE(form->Edited);
}

TEST_F(Reminders, ATagWithFormattingInsideIsAcknowledgedOnThePageShown)
{
    open({{"Bold", "{\\rtf1\\ansi Reminder\\{2016{\\b 0}725-1500\\}\\par}"}}, "Bold");
    desktop.expectConfirm(Answer::No);
    check();
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(page(), "Reminder[20160725-1500]");
    const QTextCursor digit = [&] {
        QTextCursor c(form->RE->document());
        c.setPosition(14);
        return c;
    }();
    EXPECT_EQ(digit.charFormat().fontWeight(), QFont::Bold) << "the formatting stays";
    EXPECT_NE(readFile(bufferDir() / "Bold").find("Reminder["), std::string::npos);
    check(); // not asked again
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(Reminders, APageShownThatCannotBeWrittenIsAcknowledgedInTheEditorAndTheFailureReported)
{
    open({{"Alpha", "Reminder{20160725-1500}[a]"}}, "Alpha");
    type(QStringLiteral(" typed"));
    desktop.expectConfirm(Answer::No, [&] {
        fs::remove(bufferDir() / "Alpha");
        fs::create_directories(bufferDir() / "Alpha" / "in the way");
    });
    desktop.expectError();
    check();
    EXPECT_EQ(page(), "Reminder[20160725-1500][a] typed");
    EXPECT_TRUE(form->Edited);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Error).size(), 1u);
    check();
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(Reminders, PlainTextPagesAreAcknowledgedInTheirTypedForm)
{
    open({{"Alpha", "first page"}, {"Notes", "Caf\xC3\xA9\nReminder{20160725-1500}[\xC3\xBC]\n"}}, "Alpha");
    desktop.expectConfirm(Answer::No);
    check();
    EXPECT_EQ(readFile(bufferDir() / "Notes"), "Caf\xC3\xA9\nReminder[20160725-1500][\xC3\xBC]\n");
    check();
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(Reminders, NamesTheListCannotSpellAreStillAcknowledged)
{
    const std::string odd = " Odd\xC2\xA0name";
    open({{"Alpha", "first page"}, {odd, "Reminder{20160725-1500}"}}, "Alpha");
    desktop.expectConfirm(Answer::No);
    check();
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_NE(questions()[0].find(u"\n\nOdd\u00A0name\n\n"), std::u16string::npos);
    EXPECT_EQ(readFile(bufferDir() / odd), "Reminder[20160725-1500]");
    EXPECT_TRUE(form->ReminderCheck->isActive());
}

TEST_F(Reminders, APageGoneBeforeItsAcknowledgementIsPassedOverSilently)
{
    open({{"Alpha", "first page"}, {"Car", kCarPage}}, "Alpha");
    form->Edited = false;
    desktop.expectConfirm(Answer::No, [&] { fs::remove(bufferDir() / "Car"); });
    check();
    EXPECT_TRUE(desktop.texts(ScriptedDesktop::Kind::Error).empty());
    EXPECT_FALSE(form->Edited);
    EXPECT_TRUE(form->ReminderCheck->isActive());
    EXPECT_EQ(entries(), (std::vector<std::string>{"Alpha"}));
}

TEST_F(Reminders, TheAcknowledgementLastsOnlyWhenTheProjectIsSaved)
{
    open({{"Alpha", "first page"}, {"Car", kCarPage}}, "Alpha");
    desktop.expectConfirm(Answer::No);
    check();
    desktop.expectConfirm(Answer::No); // "Save before quitting?"
    form->Exit1Click(form.get());
    form.reset();
    start();
    tick();
    desktop.expectConfirm(Answer::No);
    check();
    EXPECT_EQ(questions().size(), 3u) << "fires again after quitting without saving";

    form->SaveProject1Click(form.get());
    EXPECT_NE(readFile(project / "Car").find("Reminder[20160725-1500]"), std::string::npos);
    form.reset();
    start();
    tick();
    check();
    EXPECT_EQ(questions().size(), 3u) << "saved: not asked again";
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(Reminders, ReminderSetupExplainsTheTagInEitherMode)
{
    open({{"Alpha", "first page"}}, "Alpha");
    desktop.expectInfo();
    form->ReminderSetup1->trigger();
    form->SpeedButton9Click(form->SpeedButton9);
    desktop.expectInfo();
    form->ReminderSetup1->trigger();
    const auto texts = desktop.texts(ScriptedDesktop::Kind::Info);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_TRUE(texts[0].starts_with(u"Reminder Setup..\n\nTo have Quillory pop up"));
}
