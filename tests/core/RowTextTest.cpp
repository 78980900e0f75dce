#include "core/RowText.h"

#include <gtest/gtest.h>

#include <random>

using namespace quillory;

namespace {

// A monospaced font: 7 pixels a character, 3 for a full stop, so ".." is 6 pixels wide.
int mono(std::u16string_view text)
{
    int w = 0;
    for (char16_t c : text)
        w += c == u'.' ? 3 : 7;
    return w;
}

// A proportional one, as real fonts are.
int proportional(std::u16string_view text)
{
    int w = 0;
    for (char16_t c : text)
        w += c == u'.' ? 3 : c == u'i' || c == u'l' ? 2 : c == u'W' || c == u'M' ? 11 : 6 + c % 3;
    return w;
}

// Shortening as the row drawing has always described it: drop the last character until the rest
// and ".." fit, with an end added for a room too small for "..".
std::u16string dropOneByOne(std::u16string text, int room, const TextWidth& width)
{
    if (width(text) < room)
        return text;
    while (!text.empty() && width(text + u"..") > room)
        text.pop_back();
    return width(text + u"..") > room ? std::u16string() : text + u"..";
}

} // namespace

TEST(FitText, ShortensToTheLongestBeginningThatFitsWithTheMark)
{
    struct Case {
        const char* what;
        std::u16string text;
        int room;
        std::u16string expected;
    };
    const Case cases[] = {
        {"narrower than the room", u"abc", 22, u"abc"},
        {"exactly as wide as the room", u"abc", 21, u"ab.."},
        {"too wide", u"abcdefghij", 40, u"abcd.."},
        {"beginning and mark exactly fill the room", u"abcdefghij", 34, u"abcd.."},
        {"room for the mark alone", u"abcdefghij", 6, u".."},
        {"room smaller than the mark", u"abcdefghij", 5, u""},
        {"no room", u"abcdefghij", 0, u""},
        {"negative room", u"abcdefghij", -16, u""},
        {"empty text in a room", u"", 10, u""},
        {"a surrogate pair is not split", u"ab\U0001F600cd", 27, u"ab.."},
        {"a whole surrogate pair fits", u"ab\U0001F600cd", 34, u"ab\U0001F600.."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitText(c.text, c.room, mono), c.expected) << c.what;
}

TEST(FitText, AgreesWithDroppingOneCharacterAtATime)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> letter(u'A', u'z');
    std::uniform_int_distribution<int> length(0, 60);
    std::uniform_int_distribution<int> room(-20, 400);
    for (int i = 0; i < 2000; ++i) {
        std::u16string text(static_cast<std::size_t>(length(random)), u' ');
        for (char16_t& c : text)
            c = static_cast<char16_t>(letter(random));
        const int r = room(random);
        ASSERT_EQ(FitText(text, r, proportional), dropOneByOne(text, r, proportional))
            << "room " << r << ", length " << text.size();
    }
}

TEST(RecentProjectLines, NameWithoutTheSuffixOverItsFolder)
{
    struct Case {
        std::u16string path, name, folder;
    };
    const Case cases[] = {
        {u"/home/ann/Notes/Work.qlyp.dir", u"Work", u"/home/ann/Notes/"},
        {u"/home/ann/Notes/Work.QLYP.DIR", u"Work", u"/home/ann/Notes/"},
        {u"/srv/a.qlyp.dir.Qlyp.Dir", u"a", u"/srv/"},
        {u"C:\\Notes\\Work.qlyp.dir", u"Work", u"C:\\Notes\\"},
        {u"Work.qlyp.dir", u"Work", u""},
        {u"/plain folder/Archive", u"Archive", u"/plain folder/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecentProjectName(c.path), c.name);
        EXPECT_EQ(RecentProjectFolder(c.path), c.folder);
    }
}
