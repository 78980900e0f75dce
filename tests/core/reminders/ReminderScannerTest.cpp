#include "core/reminders/ReminderScanner.h"

#include "core/reminders/PageBytes.h"

#include <gtest/gtest.h>

#include <string>

using namespace quillory;
using namespace quillory::reminders;

namespace {

constexpr std::u16string_view kStamp = u"20160725-1500";

struct TagCase {
    const char* what;
    std::u16string text;
    std::optional<ReminderTag> expected;
};

ReminderTag Tag(std::u16string stamp, std::u16string label = std::u16string(kNoLabel))
{
    return {std::move(stamp), std::move(label)};
}

} // namespace

TEST(FirstArmedTag, ReadsTheFirstTagAsTheScanSeesIt)
{
    const std::u16string longLabel(300, u'x');
    const std::u16string pairAtTheCut = std::u16string(249, u'y') + u"\U0001F600" + u"]";
    const TagCase cases[] = {
        {"no label", u"Reminder{20160725-1500}", Tag(u"20160725-1500")},
        {"case of the word is free", u"see reminder{20160725-1500}[x] now", Tag(u"20160725-1500", u"x")},
        {"upper case", u"REMINDER{20160725-1500}[x]", Tag(u"20160725-1500", u"x")},
        {"blank before [", u"Reminder{20160725-1500} [x]", Tag(u"20160725-1500")},
        {"empty label", u"Reminder{20160725-1500}[]", Tag(u"20160725-1500", u"")},
        {"no ]", u"Reminder{20160725-1500}[x without end", Tag(u"20160725-1500")},
        {"label spans lines", u"Reminder{20160725-1500}[one\r\ntwo]", Tag(u"20160725-1500", u"one\r\ntwo")},
        {"300 characters cut to 250", u"Reminder{20160725-1500}[" + longLabel + u"]",
         Tag(u"20160725-1500", longLabel.substr(0, 250))},
        {"never half a character", u"Reminder{20160725-1500}[" + pairAtTheCut,
         Tag(u"20160725-1500", std::u16string(249, u'y'))},
        {"stored escapes are dropped", u"Reminder\\{20160725-1500\\}[caf\\'e9]", Tag(u"20160725-1500", u"caf'e9")},
        {"any 13 characters", u"Reminder{        -    }", Tag(u"        -    ")},
        {"only the first tag counts", u"Reminder{99991231-2359}[later] Reminder{20160725-1500}[now]",
         Tag(u"99991231-2359", u"later")},
        {"acknowledged tags are passed over", u"Reminder[20160725-1500] Reminder{20170101-0900}[next]",
         Tag(u"20170101-0900", u"next")},
        {"malformed first tag hides the rest", u"Reminder{2016-07-25 15:00} Reminder{20160725-1500}", std::nullopt},
        {"page ends too early", u"Reminder{20160725-15", std::nullopt},
        {"} missing", u"Reminder{20160725-1500 ", std::nullopt},
        {"no tag", u"Remind me {20160725-1500}", std::nullopt},
        {"empty page", u"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstArmedTag(c.text), c.expected) << c.what;
}

TEST(StoredPageText, JoinsLinesWithCrLfAndEndsTheLastOne)
{
    EXPECT_EQ(StoredPageText("a\nb"), u"a\r\nb\r\n");
    EXPECT_EQ(StoredPageText("a\rb\r\n\n"), u"a\r\nb\r\n\r\n");
    EXPECT_EQ(StoredPageText(""), u"");
    EXPECT_EQ(StoredPageText("caf\xC3\xA9"), u"caf\u00E9\r\n");
    EXPECT_EQ(StoredPageText("caf\xE9"), u"caf\u00E9\r\n"); // not UTF-8: Windows-1252
    EXPECT_EQ(StoredPageText(std::string("\xFF\xFEx\0\n\0", 6)), u"x\r\n");
}

// The shortcut over pages that cannot hold a tag must agree with the full reading.
TEST(FirstArmedTagInFile, AgreesWithReadingTheWholeText)
{
    const std::string pages[] = {
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Reminder\\{20160725-1500\\}[Call the garage]\\par\r\n}",
        "{\\rtf1\\ansi Reminder[20160725-1500]\\par}",
        "{\\rtf1\\ansi Reminder \\{20160725-1500\\}\\par}",
        "{\\rtf1 R\\\\em\\inder\\{20160725-1500\\}\\par}",
        "{\\rtf1 reminder{\\b 20160725-1500}}",
        "plain reMINder{20160725-1500}[x]\n",
        "caf\xE9 Reminder{20160725-1500}[caf\xE9]",
        // Not UTF-8 before the tag, UTF-8-shaped after it: the page is Windows-1252 throughout.
        "caf\xE9 Reminder{20160725-1500}[caf\xC3\xA9]",
        test::Utf16Page(u"Reminder{20160725-1500}", true),
        test::Utf16Page(u"x Reminder{20160725-1500}[y]", false),
        "Reminder{",
        "{{{{",
        "",
    };
    for (const auto& page : pages)
        EXPECT_EQ(FirstArmedTagInFile(page), FirstArmedTag(StoredPageText(page))) << page;

    EXPECT_EQ(FirstArmedTagInFile(pages[0]), Tag(u"20160725-1500", u"Call the garage"));
    EXPECT_EQ(FirstArmedTagInFile(pages[6]), Tag(u"20160725-1500", u"caf\u00E9"));
    EXPECT_EQ(FirstArmedTagInFile(pages[7]), Tag(u"20160725-1500", u"caf\u00C3\u00A9"));
    EXPECT_EQ(FirstArmedTagInFile(pages[8]), Tag(u"20160725-1500"));
    EXPECT_EQ(FirstArmedTagInFile(pages[9]), Tag(u"20160725-1500", u"y"));
    EXPECT_FALSE(FirstArmedTagInFile(pages[1]));
    EXPECT_FALSE(FirstArmedTagInFile(pages[4])) << "formatting inside a stored stamp hides the tag";
}

TEST(ReminderEntry, IsStampDashNameNoBreakSpaceLabel)
{
    EXPECT_EQ(ReminderEntry(Tag(std::u16string(kStamp), u"Call the garage"), u"Car"),
              u"20160725-1500-Car\u00A0Call the garage");
    EXPECT_EQ(ReminderEntry(Tag(std::u16string(kStamp)), u"Car"), u"20160725-1500-Car\u00A0[No Reminder Label]");
}
