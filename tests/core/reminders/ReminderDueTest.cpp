#include "core/reminders/ReminderDue.h"

#include "support/ScopedTimeZone.h"

#include <gtest/gtest.h>

using namespace quillory;
using namespace quillory::reminders;

TEST(MinuteText, IsTheLocalMinuteWithoutSeparators)
{
    constexpr std::time_t kSummer = 1469458837; // 2016-07-25 15:00:37 UTC
    {
        const test::ScopedTimeZone zone("UTC0");
        EXPECT_EQ(MinuteText(kSummer), u"201607251500");
        EXPECT_EQ(MinuteText(kSummer - 38), u"201607251459");
        EXPECT_EQ(MinuteText(0), u"197001010000");
    }
    const test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(MinuteText(kSummer), u"201607251700");
}

TEST(IsDue, ComparesTheMinuteWithTheStampAsText)
{
    struct Case {
        std::u16string_view stamp;
        std::u16string_view minute;
        bool due;
    };
    const Case cases[] = {
        {u"201607251500", u"201607251500", true}, // the minute has begun
        {u"201607251500", u"201607251459", false},
        {u"201607251500", u"203001010000", true},
        {u"abcdefghijkl", u"999912312359", false}, // letters never fall due
        {u"            ", u"197001010000", true},  // blanks at once
        {u"2016072515", u"201607251500", true},    // a shorter stamp that begins the minute is less
        {u"20160725150000", u"201607251500", false},
        {u"", u"201607251500", true},
        {u"201607251500", u"", false}, // no local time: nothing is due
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsDue(c.stamp, c.minute), c.due) << std::string(c.stamp.begin(), c.stamp.end());
}

TEST(ReminderQuestion, NamesThePageTheDateAndTheLabel)
{
    EXPECT_EQ(CompactStamp(u"20160725-1500"), u"201607251500");
    EXPECT_EQ(CompactStamp(u"2016-07-25-15"), u"2016072515");
    EXPECT_EQ(DateShown(u"201607251500"), u"25-07-2016 at 15:00");
    EXPECT_EQ(DateShown(u"2016072515"), u"25-07-2016 at 15:");
    EXPECT_EQ(DateShown(u""), u"-- at :");
    EXPECT_EQ(ShownLabel(u" \r\nCall the garage\t "), u"Call the garage");
    EXPECT_EQ(ShownLabel(std::u16string(300, u'x')), std::u16string(250, u'x'));
    EXPECT_EQ(ReminderQuestion(u"Car", u"25-07-2016 at 15:00", u"Call the garage"),
              u"You have a reminder set on page \n\nCar\n\nDate: 25-07-2016 at 15:00\n\nLabel: Call the garage\n\n"
              u"Do you want to view this page?");
}
