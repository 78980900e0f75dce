#include "core/store/OrderStamp.h"

#include "support/Files.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

using namespace quillory;
using namespace quillory::test;

namespace {

// Rules written out, so the tests need no time-zone database. Berlin and New York change their
// clocks on different days; Lord Howe by half an hour.
constexpr const char* kZones[] = {"CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0",
                                  "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "UTC0"};

std::tm Local(std::time_t t)
{
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

} // namespace

TEST(OrderStamp, IsLocalMidnightOfConsecutiveDaysAcrossClockChanges)
{
    for (const char* zone : kZones) {
        const ScopedTimeZone tz(zone);
        const std::tm first = Local(store::OrderStampTime(0));
        EXPECT_EQ(first.tm_year, 110) << zone;
        EXPECT_EQ(first.tm_mon, 9) << zone;
        EXPECT_EQ(first.tm_mday, 10) << zone;
        std::time_t previousDay = LocalMidnight(2010, 10, 9);
        // Two years of positions pass four clock changes in each zone.
        for (std::size_t i = 0; i < 800; ++i) {
            const std::tm tm = Local(store::OrderStampTime(i));
            ASSERT_EQ(tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec, 0) << zone << " position " << i;
            const std::time_t day = store::OrderStampTime(i);
            ASSERT_GE(day - previousDay, 23 * 3600 - 1800) << zone << " position " << i;
            ASSERT_LE(day - previousDay, 25 * 3600) << zone << " position " << i;
            previousDay = day;
        }
        EXPECT_EQ(store::OrderStampTime(366), LocalMidnight(2011, 10, 11)) << zone;
    }
}

TEST(OrderStamp, KeysOfTheFirstPositionsAreTheSameInEveryZone)
{
    for (const char* zone : kZones) {
        const ScopedTimeZone tz(zone);
        EXPECT_EQ(store::OrderKey(store::OrderStampTime(0)), u"1028259840") << zone;
        EXPECT_EQ(store::OrderKey(store::OrderStampTime(1)), u"1028325376") << zone;
        EXPECT_EQ(store::OrderKey(store::OrderStamp(1)), u"1028325376") << zone;
    }
}

TEST(OrderStamp, KeysAscendEvenWhereADayBeginsAfterMidnight)
{
    // Summer time began at 00:00 here, so 17 October 2010 had no midnight.
    const ScopedTimeZone tz("<-03>3<-02>,M10.3.0/0,M2.3.0/0");
    std::u16string previous = store::OrderKey(store::OrderStampTime(0));
    for (std::size_t i = 1; i < 800; ++i) {
        const std::u16string key = store::OrderKey(store::OrderStampTime(i));
        ASSERT_LT(previous, key) << i;
        previous = key;
    }
    EXPECT_EQ(Local(store::OrderStampTime(8)).tm_mday, 18);
}

TEST(OrderStamp, DoesNotDependOnTheLocale)
{
    const ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    std::vector<std::time_t> reference;
    for (std::size_t i = 0; i < 40; ++i)
        reference.push_back(store::OrderStampTime(i));
    int tried = 0;
    for (const char* locale : {"de_DE.UTF-8", "de_DE", "en_US.UTF-8", "en_US", "C.UTF-8", "C"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr)
            continue;
        ++tried;
        for (std::size_t i = 0; i < reference.size(); ++i)
            EXPECT_EQ(store::OrderStampTime(i), reference[i]) << locale;
        EXPECT_EQ(store::OrderKey(store::OrderStampTime(0)), u"1028259840") << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_GT(tried, 0);
}

TEST(OrderStamp, ListsPastTheLastDayKeepAscendingKeys)
{
    const ScopedTimeZone tz("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(store::OrderStampTime(store::kLastDayPosition), LocalMidnight(2043, 12, 31));
    std::u16string previous = store::OrderKey(store::OrderStampTime(store::kLastDayPosition));
    for (std::size_t i = store::kLastDayPosition + 1; i < store::kLastDayPosition + 2000; ++i) {
        const std::u16string key = store::OrderKey(store::OrderStampTime(i));
        ASSERT_EQ(key.size(), 10u) << i;
        ASSERT_LT(previous, key) << i;
        previous = key;
    }
}

TEST(DosDateTime, PacksLocalTimeAndReadsItAsSigned)
{
    const ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(store::DosDateTime(LocalTime(1980, 1, 1, 0, 0, 0)), (1 << 21) | (1 << 16));
    EXPECT_EQ(store::DosDateTime(LocalTime(1979, 12, 31, 23, 59, 59)), std::nullopt);
    // Odd seconds are halved down.
    EXPECT_EQ(store::DosDateTime(LocalTime(2010, 10, 10, 13, 45, 31)),
              (30 << 25) | (10 << 21) | (10 << 16) | (13 << 11) | (45 << 5) | 15);
    EXPECT_EQ(store::DosDateTime(LocalTime(2043, 12, 31, 23, 59, 59)),
              (63 << 25) | (12 << 21) | (31 << 16) | (23 << 11) | (59 << 5) | 29);
    const auto from2044 = store::DosDateTime(LocalTime(2044, 1, 1, 0, 0, 0));
    ASSERT_TRUE(from2044);
    EXPECT_LT(*from2044, 0);
    EXPECT_EQ(static_cast<std::uint32_t>(*from2044), (64u << 25) | (1u << 21) | (1u << 16));
    const auto last = store::DosDateTime(LocalTime(2107, 12, 31, 23, 59, 58));
    ASSERT_TRUE(last);
    EXPECT_EQ(static_cast<std::uint32_t>(*last),
              (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u);
    EXPECT_EQ(store::DosDateTime(LocalTime(2108, 1, 1, 0, 0, 0)), std::nullopt);
}

TEST(OrderKey, IsMinusOneWithoutAUsableTime)
{
    EXPECT_EQ(store::OrderKey(std::optional<std::time_t>()), u"-1");
    EXPECT_EQ(store::OrderKey(std::optional<std::time_t>(LocalTime(1975, 6, 1, 0, 0, 0))), u"-1");
    TempDir dir;
    EXPECT_EQ(store::OrderKeyOfFile(dir / "absent"), u"-1");
    WriteFile(dir / "page", "");
    SetModified(dir / "page", store::OrderStampTime(2));
    EXPECT_EQ(store::OrderKeyOfFile(dir / "page"), store::OrderKey(store::OrderStampTime(2)));
}
