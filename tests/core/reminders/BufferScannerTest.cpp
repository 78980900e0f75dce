#include "core/reminders/BufferScanner.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quillory;
using namespace quillory::reminders;

namespace {

using std::chrono::system_clock;

class BufferScannerTest : public ::testing::Test {
protected:
    void page(const std::string& name, const std::string& text) { test::WriteFile(m_dir / name, text); }
    [[nodiscard]] static std::vector<std::u16string> items(const std::vector<ScannedReminder>& found)
    {
        std::vector<std::u16string> names;
        for (const auto& f : found)
            names.push_back(f.item);
        return names;
    }

    test::TempDir m_dir;
    // Pages written by the test are seconds old for a scanner with this clock.
    system_clock::time_point m_now = system_clock::now() + std::chrono::minutes(1);
    BufferScanner m_later{[this] { return m_now; }};
};

} // namespace

TEST_F(BufferScannerTest, OneEntryPerTaggedPageInNameOrder)
{
    for (const char* name : {"d", "B", "a", "C"})
        page(name, std::string("{\\rtf1 Reminder\\{20160725-1500\\}[") + name + "]\\par}");
    page("untagged", "{\\rtf1 nothing\\par}");
    BufferScanner scanner;
    const auto found = scanner.scan(m_dir.path(), u"", u"");
    EXPECT_EQ(items(found), (std::vector<std::u16string>{u"a", u"B", u"C", u"d"}));
    EXPECT_EQ(found[1].tag, (ReminderTag{u"20160725-1500", u"B"}));
}

TEST_F(BufferScannerTest, ThePageShownIsReadFromTheEditorNotItsFile)
{
    page("Shown", "{\\rtf1 Reminder\\{20160725-1500\\}\\par}");
    page("shown", "{\\rtf1 Reminder\\{20160725-1500\\}\\par}");
    page("Other", "plain");
    BufferScanner scanner;
    const auto found = scanner.scan(m_dir.path(), u"Shown", u"typed Reminder{20170101-0900}[new]\r\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], (ScannedReminder{u"Shown", {u"20170101-0900", u"new"}}));
    EXPECT_EQ(found[1].item, u"shown") << "the other case is another page";
    EXPECT_EQ(items(scanner.scan(m_dir.path(), u"Shown", u"tag removed")), (std::vector<std::u16string>{u"shown"}));
}

TEST_F(BufferScannerTest, PagesThatCannotBeReadArePassedOver)
{
    page("a", "Reminder{20160725-1500}");
    page("z", "Reminder{20160725-1500}");
    std::filesystem::create_directory(m_dir / "folder");
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    BufferScanner scanner;
    const auto found = scanner.scanPages(m_dir.path(), {u"a", u"gone", u"folder", u"fifo", u"z"}, u"", u"");
    EXPECT_EQ(items(found), (std::vector<std::u16string>{u"a", u"z"}));
    EXPECT_TRUE(scanner.scan(m_dir / "absent", u"", u"").empty());
}

TEST_F(BufferScannerTest, SettledPagesAreReadOnceUntilTheyChange)
{
    page("a", "Reminder{20160725-1500}[a]");
    page("b", "Reminder{20160725-1500}[b]");
    page("c", "nothing");
    const auto first = m_later.scan(m_dir.path(), u"", u"");
    EXPECT_EQ(m_later.filesRead(), 3u);
    EXPECT_EQ(m_later.scan(m_dir.path(), u"", u""), first);
    EXPECT_EQ(m_later.filesRead(), 0u);

    // Replaced under the same size (a new file, as every write of ours makes), rewritten in place
    // with another size, restamped: each is read again.
    page("a.new", "Reminder{20160725-1500}[A]");
    std::filesystem::rename(m_dir / "a.new", m_dir / "a");
    page("c", "Reminder{20991231-2359}");
    const auto found = m_later.scan(m_dir.path(), u"", u"");
    EXPECT_EQ(m_later.filesRead(), 2u);
    EXPECT_EQ(found.front().tag.label, u"A");
    test::SetModified(m_dir / "b", test::LocalMidnight(2010, 10, 10));
    (void)m_later.scan(m_dir.path(), u"", u"");
    EXPECT_EQ(m_later.filesRead(), 1u);
}

TEST_F(BufferScannerTest, PagesChangedInTheLastSecondsAndClockStepsBackAreAlwaysRead)
{
    page("a", "Reminder{20160725-1500}[a]");
    BufferScanner now; // the file's change time is the present: the same tick could hold a change
    (void)now.scan(m_dir.path(), u"", u"");
    (void)now.scan(m_dir.path(), u"", u"");
    EXPECT_EQ(now.filesRead(), 1u);

    (void)m_later.scan(m_dir.path(), u"", u"");
    m_now -= std::chrono::hours(1);
    (void)m_later.scan(m_dir.path(), u"", u"");
    EXPECT_EQ(m_later.filesRead(), 1u);
}
