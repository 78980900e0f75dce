#include "core/store/ProjectStore.h"

#include "core/store/OrderStamp.h"
#include "support/Files.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

using Names = std::vector<std::u16string>;

namespace {

class ProjectStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(buffer);
        fs::create_directory(project);
    }

    TempDir dir;
    fs::path buffer = dir / "Buffer";
    fs::path project = dir / "Notes.qlyp.dir";
};

} // namespace

TEST_F(ProjectStore, SavedOrderSurvivesSaveAndReopen)
{
    for (const char* name : {"A", "B", "C"})
        WriteFile(buffer / name, std::string("page ") + name);
    const Names order{u"C", u"A", u"B"};
    store::StampAll(buffer, order);
    EXPECT_EQ(ModifiedOf(buffer / "C"), LocalMidnight(2010, 10, 10));
    EXPECT_EQ(ModifiedOf(buffer / "A"), LocalMidnight(2010, 10, 11));
    EXPECT_EQ(ModifiedOf(buffer / "B"), LocalMidnight(2010, 10, 12));
    EXPECT_EQ(store::OrderedNames(buffer), order);

    EXPECT_TRUE(store::CopyBufferToProject(buffer, project).empty());
    EXPECT_EQ(ModifiedOf(project / "C"), LocalMidnight(2010, 10, 10));
    EXPECT_EQ(ModifiedOf(project / "B"), LocalMidnight(2010, 10, 12));
    EXPECT_EQ(ReadFile(project / "A"), "page A");

    store::ClearBuffer(buffer);
    EXPECT_TRUE(AllNames(buffer).empty());
    const store::LoadResult loaded = store::LoadProjectIntoBuffer(project, buffer);
    EXPECT_EQ(loaded.names, (Names{u"A", u"B", u"C"}));
    EXPECT_TRUE(loaded.failures.empty());
    EXPECT_EQ(store::OrderedNames(buffer), order);
    EXPECT_EQ(ModifiedOf(buffer / "A"), LocalMidnight(2010, 10, 11));
}

TEST_F(ProjectStore, OrderHoldsUnderAnotherTimeZone)
{
    for (const char* name : {"A", "B", "C"})
        WriteFile(buffer / name, "");
    {
        const ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
        store::StampAll(buffer, Names{u"B", u"C", u"A"});
    }
    const ScopedTimeZone tz("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(store::OrderedNames(buffer), (Names{u"B", u"C", u"A"}));
}

TEST_F(ProjectStore, UnstampedFileDatedNowSortsAfterTheStampedOnes)
{
    for (const char* name : {"A", "B", "New"})
        WriteFile(buffer / name, "");
    store::StampAll(buffer, Names{u"B", u"A"});
    EXPECT_EQ(store::OrderedNames(buffer), (Names{u"B", u"A", u"New"}));
}

TEST_F(ProjectStore, EqualKeysOrderByNameWithoutCase)
{
    for (const char* name : {"b", "C", "a"}) {
        WriteFile(buffer / name, "");
        SetModified(buffer / name, LocalMidnight(2015, 3, 4));
    }
    EXPECT_EQ(store::OrderedNames(buffer), (Names{u"a", u"b", u"C"}));
}

TEST_F(ProjectStore, KeysCompareAsText)
{
    WriteFile(buffer / "stamped", "");
    WriteFile(buffer / "ancient", "");
    WriteFile(buffer / "unreadable date", "");
    store::StampAll(buffer, Names{u"stamped"});
    SetModified(buffer / "ancient", LocalMidnight(1985, 1, 1));         // a nine-digit key
    SetModified(buffer / "unreadable date", LocalMidnight(1970, 1, 2)); // "-1"
    EXPECT_EQ(store::OrderedNames(buffer), (Names{u"unreadable date", u"stamped", u"ancient"}));
}

TEST_F(ProjectStore, HiddenFilesAndSubfoldersAreNeitherListedNorCopied)
{
    WriteFile(project / "page", "x");
    WriteFile(project / ".hidden", "x");
    fs::create_directory(project / "sub");
    WriteFile(project / "sub" / "inner", "x");
    EXPECT_EQ(store::LoadProjectIntoBuffer(project, buffer).names, (Names{u"page"}));
    EXPECT_EQ(AllNames(buffer), (std::set<std::string>{"page"}));
    EXPECT_EQ(store::OrderedNames(buffer), (Names{u"page"}));
}

TEST_F(ProjectStore, LongNamesAreCutTo200AndBlanksTrimmed)
{
    const std::string longName(210, 'x');
    WriteFile(buffer / longName, "");
    WriteFile(buffer / " leading blank", "");
    store::StampAll(buffer, Names{std::u16string(210, u'x'), u" leading blank"});
    const auto items = store::OrderedItems(buffer);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].shown, std::u16string(200, u'x'));
    EXPECT_EQ(items[0].fileName, std::u16string(210, u'x'));
    EXPECT_EQ(items[1], (store::OrderedItem{u"leading blank", u" leading blank"}));
}

TEST(ShownName, NeverSplitsASurrogatePairAndTrimsControls)
{
    const std::u16string pairAtTheCut = std::u16string(199, u'a') + u"\U0001F600b";
    EXPECT_EQ(store::ShownName(pairAtTheCut), std::u16string(199, u'a'));
    EXPECT_EQ(store::ShownName(std::u16string(198, u'a') + u"\U0001F600b"), std::u16string(198, u'a') + u"\U0001F600");
    EXPECT_EQ(store::ShownName(u"\t name\u0007 \u0085"), u"name");
    EXPECT_EQ(store::ShownName(u"   "), u"");
}

TEST_F(ProjectStore, StampAllChangesOnlyWhatIsWrong)
{
    WriteFile(buffer / "A", "");
    WriteFile(buffer / "B", "");
    const timespec atime{1'500'000'000, 0};
    const timespec times[2] = {atime, {0, UTIME_OMIT}};
    ::utimensat(AT_FDCWD, (buffer / "A").c_str(), times, 0);

    store::StampAll(buffer, Names{u"A", u"missing", u"B"});
    EXPECT_EQ(ModifiedOf(buffer / "A"), store::OrderStampTime(0));
    EXPECT_EQ(ModifiedOf(buffer / "B"), store::OrderStampTime(2));
    EXPECT_EQ(StatOf(buffer / "A").st_atim.tv_sec, atime.tv_sec);

    // A file that already carries its stamp is not written: its change time stays.
    const timespec changed = StatOf(buffer / "A").st_ctim;
    store::StampAll(buffer, Names{u"A", u"missing", u"B"});
    EXPECT_EQ(StatOf(buffer / "A").st_ctim.tv_sec, changed.tv_sec);
    EXPECT_EQ(StatOf(buffer / "A").st_ctim.tv_nsec, changed.tv_nsec);
}

TEST_F(ProjectStore, ClearBufferRemovesItemsAndLeftoverTemporaries)
{
    WriteFile(buffer / "A", "");
    WriteFile(buffer / ".qly-0123456789abcdef.tmp", "half a page");
    WriteFile(buffer / ".someone-else", "");
    store::ClearBuffer(buffer);
    EXPECT_EQ(AllNames(buffer), (std::set<std::string>{".someone-else"}));
    store::ClearBuffer(dir / "missing");
}

TEST_F(ProjectStore, SaveReplacesChangedPagesAndLeavesTheRestAlone)
{
    WriteFile(buffer / "changed", "new text");
    WriteFile(buffer / "same", "same text");
    WriteFile(buffer / "moved", "moved text");
    WriteFile(project / "changed", "old text");
    WriteFile(project / "same", "same text");
    WriteFile(project / "moved", "moved text");
    WriteFile(project / "extra", "only in the project");
    store::StampAll(buffer, Names{u"same", u"moved", u"changed"});
    store::StampAll(project, Names{u"same", u"changed", u"moved"});
    const ino_t sameInode = StatOf(project / "same").st_ino;
    const ino_t movedInode = StatOf(project / "moved").st_ino;
    const timespec sameChanged = StatOf(project / "same").st_ctim;

    EXPECT_TRUE(store::CopyBufferToProject(buffer, project).empty());
    EXPECT_EQ(ReadFile(project / "changed"), "new text");
    EXPECT_EQ(ModifiedOf(project / "changed"), store::OrderStampTime(2));
    EXPECT_EQ(ModifiedOf(project / "moved"), store::OrderStampTime(1));
    EXPECT_EQ(StatOf(project / "moved").st_ino, movedInode);
    EXPECT_EQ(StatOf(project / "same").st_ino, sameInode);
    EXPECT_EQ(StatOf(project / "same").st_ctim.tv_nsec, sameChanged.tv_nsec);
    EXPECT_EQ(ReadFile(project / "extra"), "only in the project");
    EXPECT_EQ(AllNames(project), (std::set<std::string>{"changed", "extra", "moved", "same"}));
}

TEST_F(ProjectStore, SaveReportsEachFailureAndStillCopiesTheOthers)
{
    WriteFile(buffer / "A", "a");
    WriteFile(buffer / "B", "b");
    WriteFile(buffer / "C", "c");
    fs::create_directory(project / "B"); // a folder where the page should go
    const auto failures = store::CopyBufferToProject(buffer, project);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].name, u"B");
    EXPECT_TRUE(failures[0].error);
    EXPECT_EQ(ReadFile(project / "A"), "a");
    EXPECT_EQ(ReadFile(project / "C"), "c");
    EXPECT_EQ(AllNames(project), (std::set<std::string>{"A", "B", "C"}));
}

TEST_F(ProjectStore, SaveIntoAVanishedFolderIsReported)
{
    WriteFile(buffer / "A", "a");
    const auto failures = store::CopyBufferToProject(buffer, dir / "gone.qlyp.dir");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].name, u"");
    EXPECT_EQ(failures[0].error, std::errc::no_such_file_or_directory);
}

TEST_F(ProjectStore, SaveIntoAReadOnlyFolderIsReportedAndChangesNothing)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: folder permissions are not enforced";
    WriteFile(buffer / "A", "new");
    WriteFile(project / "A", "old");
    fs::permissions(project, fs::perms::owner_read | fs::perms::owner_exec);
    const auto failures = store::CopyBufferToProject(buffer, project);
    fs::permissions(project, fs::perms::owner_all);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].error, std::errc::permission_denied);
    EXPECT_EQ(ReadFile(project / "A"), "old");
}

TEST_F(ProjectStore, ManyChangedPagesAreSavedTogether)
{
    Names names;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "page " + std::to_string(i);
        WriteFile(buffer / name, "text " + std::to_string(i));
        names.push_back(std::u16string(name.begin(), name.end()));
    }
    store::StampAll(buffer, names);
    EXPECT_TRUE(store::CopyBufferToProject(buffer, project).empty());
    EXPECT_EQ(AllNames(project).size(), 40u);
    EXPECT_EQ(ReadFile(project / "page 17"), "text 17");
    EXPECT_EQ(ModifiedOf(project / "page 17"), store::OrderStampTime(17));
}

TEST_F(ProjectStore, NamesThatDifferOnlyInCaseStayTwoItems)
{
    WriteFile(project / "Notes", "upper");
    WriteFile(project / "notes", "lower");
    const auto loaded = store::LoadProjectIntoBuffer(project, buffer);
    EXPECT_EQ(loaded.names, (Names{u"Notes", u"notes"}));
    EXPECT_TRUE(loaded.failures.empty());
    EXPECT_EQ(ReadFile(buffer / "Notes"), "upper");
    EXPECT_EQ(ReadFile(buffer / "notes"), "lower");

    store::StampAll(buffer, Names{u"notes", u"Notes"});
    EXPECT_EQ(store::OrderedNames(buffer), (Names{u"notes", u"Notes"}));
    WriteFile(buffer / "notes", "lower, edited");
    EXPECT_TRUE(store::CopyBufferToProject(buffer, project).empty());
    EXPECT_EQ(ReadFile(project / "Notes"), "upper");
    EXPECT_EQ(ReadFile(project / "notes"), "lower, edited");
}

TEST(FindItem, PrefersTheExactNameOverACaseTwin)
{
    const Names entries{u"Notes", u"notes", u"Other"};
    EXPECT_EQ(store::FindItem(entries, u"notes"), 1u);
    EXPECT_EQ(store::FindItem(entries, u"Notes"), 0u);
    EXPECT_EQ(store::FindItem(entries, u"NOTES"), 0u);
    EXPECT_EQ(store::FindItem(entries, u"other"), 2u);
    EXPECT_EQ(store::FindItem(entries, u"absent"), std::nullopt);
}

TEST_F(ProjectStore, RefillBufferEndsLikeClearAndLoad)
{
    for (const char* name : {"same", "edited", "restamped"})
        WriteFile(project / name, std::string("saved ") + name);
    store::StampAll(project, Names{u"same", u"edited", u"restamped"});
    ASSERT_TRUE(store::LoadProjectIntoBuffer(project, buffer).failures.empty());
    // What a session left behind without saving.
    WriteFile(buffer / "edited", "unsaved typing");
    SetModified(buffer / "restamped", store::OrderStampTime(7));
    WriteFile(buffer / "added, unsaved", "x");
    WriteFile(buffer / ".qly-0123456789abcdef.tmp", "half a page");
    const ino_t sameInode = StatOf(buffer / "same").st_ino;
    const ino_t restampedInode = StatOf(buffer / "restamped").st_ino;

    const store::LoadResult result = store::RefillBuffer(project, buffer);
    EXPECT_EQ(result.names, (Names{u"edited", u"restamped", u"same"}));
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(AllNames(buffer), (std::set<std::string>{"edited", "restamped", "same"}));
    EXPECT_EQ(ReadFile(buffer / "edited"), "saved edited");
    EXPECT_EQ(ModifiedOf(buffer / "edited"), store::OrderStampTime(1));
    EXPECT_EQ(ModifiedOf(buffer / "restamped"), store::OrderStampTime(2));
    EXPECT_EQ(StatOf(buffer / "same").st_ino, sameInode);
    EXPECT_EQ(StatOf(buffer / "restamped").st_ino, restampedInode);
    EXPECT_EQ(store::OrderedNames(buffer), (Names{u"same", u"edited", u"restamped"}));
}

TEST_F(ProjectStore, RefillFromAMissingProjectLeavesTheBufferEmpty)
{
    WriteFile(buffer / "left over", "x");
    const store::LoadResult result = store::RefillBuffer(dir / "gone.qlyp.dir", buffer);
    EXPECT_TRUE(result.names.empty());
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].name, u"");
    EXPECT_TRUE(AllNames(buffer).empty());
}
