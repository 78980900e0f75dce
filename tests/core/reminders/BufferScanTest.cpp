#include "core/reminders/BufferScan.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quillory;
using namespace quillory::reminders;

namespace {

class BufferScanTest : public ::testing::Test {
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
};

} // namespace

TEST_F(BufferScanTest, OneEntryPerTaggedPageInNameOrder)
{
    for (const char* name : {"d", "B", "a", "C"})
        page(name, std::string("{\\rtf1 Reminder\\{20160725-1500\\}[") + name + "]\\par}");
    page("untagged", "{\\rtf1 nothing\\par}");
    const auto found = ScanBuffer(m_dir.path(), u"", u"");
    EXPECT_EQ(items(found), (std::vector<std::u16string>{u"a", u"B", u"C", u"d"}));
    EXPECT_EQ(found[1].tag, (ReminderTag{u"20160725-1500", u"B"}));
}

TEST_F(BufferScanTest, ThePageShownIsReadFromTheEditorNotItsFile)
{
    page("Shown", "{\\rtf1 Reminder\\{20160725-1500\\}\\par}");
    page("shown", "{\\rtf1 Reminder\\{20160725-1500\\}\\par}");
    page("Other", "plain");
    const auto found = ScanBuffer(m_dir.path(), u"Shown", u"typed Reminder{20170101-0900}[new]\r\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], (ScannedReminder{u"Shown", {u"20170101-0900", u"new"}}));
    EXPECT_EQ(found[1].item, u"shown") << "the other case is another page";
    EXPECT_TRUE(ScanBuffer(m_dir.path(), u"Shown", u"tag removed")[0].item == u"shown");
}

TEST_F(BufferScanTest, PagesThatCannotBeReadArePassedOver)
{
    page("a", "Reminder{20160725-1500}");
    page("z", "Reminder{20160725-1500}");
    std::filesystem::create_directory(m_dir / "folder");
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    const auto found = ScanPages(m_dir.path(), {u"a", u"gone", u"folder", u"fifo", u"z"}, u"", u"");
    EXPECT_EQ(items(found), (std::vector<std::u16string>{u"a", u"z"}));
    EXPECT_TRUE(ScanBuffer(m_dir / "absent", u"", u"").empty());
}
