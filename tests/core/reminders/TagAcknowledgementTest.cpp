#include "core/reminders/TagAcknowledgement.h"

#include "core/reminders/PageBytes.h"
#include "core/reminders/ReminderScanner.h"
#include "core/rtf/Rtf.h"

#include <gtest/gtest.h>

using namespace quillory;
using namespace quillory::reminders;

namespace {

constexpr std::u16string_view kStamp = u"20160725-1500";

struct Case {
    const char* what;
    std::string before;
    std::optional<std::string> after;
};

} // namespace

TEST(AcknowledgeStoredPage, TurnsOnlyTheTagsBracesIntoBrackets)
{
    const std::string head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\f0\\fs20 ";
    const Case cases[] = {
        {"rtf: the escapes go with the braces", head + "Reminder\\{20160725-1500\\}[Car]\\par\r\n}",
         head + "Reminder[20160725-1500][Car]\\par\r\n}"},
        {"rtf: every tag with the stamp, none with another",
         head + "Reminder\\{20160725-1500\\} reminder\\{20160725-1500\\} Reminder\\{20170101-0900\\}\\par}",
         head + "Reminder[20160725-1500] reminder[20160725-1500] Reminder\\{20170101-0900\\}\\par}"},
        {"rtf: an escaped backslash before the brace stays", head + "Reminder\\\\\\{20160725-1500\\}\\par}",
         head + "Reminder\\\\[20160725-1500]\\par}"},
        {"rtf: a typed backslash before each brace stays", head + "Reminder\\\\\\{20160725-1500\\\\\\}\\par}",
         head + "Reminder\\\\[20160725-1500\\\\]\\par}"},
        {"rtf: group braces are never touched", head + "Reminder\\\\{20160725-1500}\\par}", std::nullopt},
        {"rtf: braces without the word stay", head + "\\{20160725-1500\\}\\par}", std::nullopt},
        {"plain UTF-8 keeps every other byte", "Caf\xC3\xA9\r\nReminder{20160725-1500}[\xC3\xBC]\n\xE2\x82\xAC",
         "Caf\xC3\xA9\r\nReminder[20160725-1500][\xC3\xBC]\n\xE2\x82\xAC"},
        {"plain with a byte-order mark", "\xEF\xBB\xBFReminder{20160725-1500}", "\xEF\xBB\xBFReminder[20160725-1500]"},
        {"broken UTF-8 after a byte-order mark", "\xEF\xBB\xBF\xE2\x82Reminder{20160725-1500}\xC0",
         "\xEF\xBB\xBF\xE2\x82Reminder[20160725-1500]\xC0"},
        {"plain Windows-1252", "caf\xE9 REMINDER{20160725-1500}", "caf\xE9 REMINDER[20160725-1500]"},
        {"plain: a typed backslash stays", "Reminder\\{20160725-1500}", "Reminder\\[20160725-1500]"},
        {"plain: typed backslashes before both braces stay", "Reminder\\{20160725-1500\\}",
         "Reminder\\[20160725-1500\\]"},
        {"plain: a run of them stays whole", "Reminder\\\\{20160725-1500\\\\}x", "Reminder\\\\[20160725-1500\\\\]x"},
        {"UTF-16 LE", test::Utf16Page(u"\u00E9 Reminder{20160725-1500}\r\n", true),
         test::Utf16Page(u"\u00E9 Reminder[20160725-1500]\r\n", true)},
        {"UTF-16 BE", test::Utf16Page(u"Reminder{20160725-1500}", false),
         test::Utf16Page(u"Reminder[20160725-1500]", false)},
        {"already acknowledged", "Reminder[20160725-1500]", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcknowledgeStoredPage(c.before, kStamp), c.after) << c.what;
}

TEST(AcknowledgeStoredPage, FindsTheStampAsTheScanReadIt)
{
    // The scan joins lines with CR LF, so a stamp read across a lone LF holds CR LF.
    const std::string page = "Reminder{2016\n725-150}";
    const auto tag = FirstArmedTagInFile(page);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->stamp, u"2016\r\n725-150");
    EXPECT_EQ(AcknowledgeStoredPage(page, tag->stamp), "Reminder[2016\n725-150]");
}

TEST(AcknowledgeStoredPage, AcknowledgedRtfReadsWithBracketsAndIsNoLongerATag)
{
    const std::string page = "{\\rtf1\\ansi Call Reminder\\{20160725-1500\\}[the garage]\\par\r\n}";
    const auto done = AcknowledgeStoredPage(page, kStamp);
    ASSERT_TRUE(done);
    EXPECT_EQ(rtf::PlainTextOf(*done), rtf::PlainTextOf(page).replace(5, 23, u"Reminder[20160725-1500]"));
    EXPECT_FALSE(FirstArmedTagInFile(*done));
}

TEST(FindTagBraces, GivesPositionsInTheTextSearched)
{
    EXPECT_EQ(FindTagBraces(u"Rem\\inder\\{20160725-1500}", kStamp), (std::vector<TagBraces>{{10, 24}}));
    EXPECT_EQ(FindTagBraces(u"Reminder{20160725-1500}Reminder{20160725-1500}", kStamp),
              (std::vector<TagBraces>{{8, 22}, {31, 45}}));
    EXPECT_TRUE(FindTagBraces(u"Reminder{20160725-15000}", kStamp).empty());
}
