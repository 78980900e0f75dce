#include "core/settings/Config.h"

#include <gtest/gtest.h>

using namespace quillory;
using settings::Config;

namespace {

const char* const kSixteen =
    "10\r\n20\r\n800\r\n600\r\n/home/u/Notes.qlyp.dir\r\n200\r\nShopping\r\n1\r\n1\r\n1\r\n1\r\n"
    "/home/u/Imports\r\n1\r\n1\r\n0\r\n70\r\n";

Config Sample()
{
    Config c;
    c.left = 10;
    c.top = 20;
    c.width = 800;
    c.height = 600;
    c.projectPath = u"/home/u/Notes.qlyp.dir";
    c.panelWidth = 200;
    c.currentItem = u"Shopping";
    c.startInTray = c.stayOnTop = c.trayHintShown = c.autosave = true;
    c.lastFileDir = u"/home/u/Imports";
    c.minimiseAfterCopy = c.functionKeyCopy = true;
    c.wordwrap = false;
    c.recentHeight = 70;
    return c;
}

} // namespace

TEST(Config, DefaultsAreTheFirstStartValues)
{
    const Config c = settings::ReadConfig("");
    EXPECT_EQ(c.left, 0);
    EXPECT_EQ(c.width, 655);
    EXPECT_EQ(c.height, 539);
    EXPECT_EQ(c.panelWidth, 185);
    EXPECT_TRUE(c.wordwrap);
    EXPECT_FALSE(c.autosave);
    EXPECT_EQ(c.recentHeight, 55);
    EXPECT_EQ(c.projectPath, u"");
}

TEST(Config, WritesSixteenLinesEachEndedByCrLf)
{
    EXPECT_EQ(settings::WriteConfig(Sample()), kSixteen);
    const std::string fresh = settings::WriteConfig(Config{});
    EXPECT_EQ(fresh, "0\r\n0\r\n655\r\n539\r\n\r\n185\r\n\r\n0\r\n0\r\n0\r\n0\r\n\r\n0\r\n0\r\n1\r\n55\r\n");
}

TEST(Config, RoundTripsThroughItsText)
{
    EXPECT_EQ(settings::ReadConfig(kSixteen), Sample());
    Config unicode;
    unicode.currentItem = u"Einkauf \u00FC\u20AC \U0001F600";
    unicode.left = -1280;
    EXPECT_EQ(settings::ReadConfig(settings::WriteConfig(unicode)), unicode);
}

TEST(Config, AcceptsEveryLineEndingAndByteOrderMark)
{
    std::string lf = kSixteen;
    std::erase(lf, '\r');
    EXPECT_EQ(settings::ReadConfig(lf), Sample());
    std::string cr = kSixteen;
    std::erase(cr, '\n');
    EXPECT_EQ(settings::ReadConfig(cr), Sample());
    EXPECT_EQ(settings::ReadConfig("\xEF\xBB\xBF" + std::string(kSixteen)), Sample());

    std::string utf16le = "\xFF\xFE";
    for (const char c : std::string(kSixteen)) {
        utf16le.push_back(c);
        utf16le.push_back('\0');
    }
    EXPECT_EQ(settings::ReadConfig(utf16le), Sample());
}

TEST(Config, MissingLinesKeepTheirDefaults)
{
    Config defaults;
    defaults.width = 700;
    defaults.height = 500;
    const Config c = settings::ReadConfig("5\r\n6\r\n", defaults);
    EXPECT_EQ(c.left, 5);
    EXPECT_EQ(c.top, 6);
    EXPECT_EQ(c.width, 700);
    EXPECT_EQ(c.height, 500);
    EXPECT_TRUE(c.wordwrap);
    EXPECT_EQ(c.recentHeight, 55);
}

TEST(Config, NumbersAreReadLeniently)
{
    const Config c = settings::ReadConfig(" 12px\r\nabc\r\n$1F\r\n\r\n path with blanks \r\n-3\r\n\r\n2\r\nno\r\n");
    EXPECT_EQ(c.left, 12);
    EXPECT_EQ(c.top, 0);
    EXPECT_EQ(c.width, 31);
    EXPECT_EQ(c.height, 0);
    EXPECT_EQ(c.projectPath, u" path with blanks "); // texts are taken whole
    EXPECT_EQ(c.panelWidth, -3);
    EXPECT_TRUE(c.startInTray); // any value but 0 is on
    EXPECT_FALSE(c.stayOnTop);
}

TEST(Config, NeighbouringFlagsAreReadFromTheirOwnLines)
{
    for (const bool thirteen : {false, true}) {
        Config c;
        c.minimiseAfterCopy = thirteen;
        c.functionKeyCopy = !thirteen;
        const Config back = settings::ReadConfig(settings::WriteConfig(c));
        EXPECT_EQ(back.minimiseAfterCopy, thirteen);
        EXPECT_EQ(back.functionKeyCopy, !thirteen);
    }
}

TEST(Config, ALineBreakInATextCannotShiftTheLinesAfterIt)
{
    Config c = Sample();
    c.currentItem = u"two\nlines";
    const Config back = settings::ReadConfig(settings::WriteConfig(c));
    EXPECT_EQ(back.currentItem, u"twolines");
    EXPECT_EQ(back.recentHeight, 70);
    EXPECT_FALSE(back.wordwrap);
}
