#include "core/store/Project.h"

#include "core/store/ProjectStore.h"
#include "support/Files.h"
#include "support/ScopedFaults.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace quillory;
using test::Deliver;
using test::ReadFile;

namespace {

namespace fs = std::filesystem;

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(folder);
        fs::create_directories(buffer);
        for (const char* name : {"Alpha", "Beta"})
            std::ofstream(folder / name, std::ios::binary) << "page " << name;
        open();
    }
    void open()
    {
        (void)store::RefillBuffer(folder, buffer);
        project.opened(folder);
    }
    [[nodiscard]] std::vector<std::u16string> bufferNames() const { return store::OrderedNames(buffer); }
    // A Save at 15:00 on 10 December 2026, local time.
    [[nodiscard]] store::SyncReport save(const std::u16string& keep = {})
    {
        std::tm when{};
        when.tm_year = 126;
        when.tm_mon = 11;
        when.tm_mday = 10;
        when.tm_hour = 15;
        when.tm_isdst = -1;
        return project.save(static_cast<std::int64_t>(std::mktime(&when)), keep);
    }

    test::TempDir dir;
    fs::path folder = dir.path() / "P.qlyp.dir";
    fs::path buffer = dir.path() / "Buffer";
    store::Project project{buffer};
};

TEST_F(ProjectTest, ASaveWithNothingChangedTouchesNothing)
{
    const store::FileStamp before = store::StampOf(folder / "Alpha");
    const store::SyncReport report = save();
    EXPECT_TRUE(report.failures.empty());
    EXPECT_FALSE(report.changedTheList());
    EXPECT_EQ(store::StampOf(folder / "Alpha"), before);
}

TEST_F(ProjectTest, EachSideKeepsWhatOnlyItChanged)
{
    Deliver(buffer / "Alpha", "Alpha edited here");
    Deliver(folder / "Beta", "Beta edited elsewhere");
    const store::SyncReport report = save();
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(ReadFile(folder / "Alpha"), "Alpha edited here");
    EXPECT_EQ(ReadFile(folder / "Beta"), "Beta edited elsewhere") << "never overwritten by the stale copy";
    EXPECT_EQ(ReadFile(buffer / "Beta"), "Beta edited elsewhere") << "taken in";
    EXPECT_EQ(report.taken, std::vector<std::u16string>{u"Beta"});
    // The next Save has nothing to do either way.
    const store::FileStamp beta = store::StampOf(folder / "Beta");
    EXPECT_FALSE(save().changedTheList());
    EXPECT_EQ(store::StampOf(folder / "Beta"), beta);
}

TEST_F(ProjectTest, ChangedOnBothSidesBothAreKept)
{
    Deliver(buffer / "Beta", "Beta edited here");
    Deliver(folder / "Beta", "Beta edited elsewhere");
    const store::SyncReport report = save();
    const std::u16string copy = u"Beta (conflict 2026-12-10 1500)";
    ASSERT_EQ(report.conflicts.size(), 1U);
    EXPECT_EQ(report.conflicts[0], std::make_pair(std::u16string(u"Beta"), copy));
    EXPECT_EQ(ReadFile(folder / "Beta"), "Beta edited elsewhere");
    EXPECT_EQ(ReadFile(buffer / "Beta"), "Beta edited elsewhere");
    EXPECT_EQ(ReadFile(folder / fs::path(copy)), "Beta edited here");
    EXPECT_EQ(ReadFile(buffer / fs::path(copy)), "Beta edited here");

    // A second conflict in the same minute takes a name of its own.
    Deliver(buffer / "Beta", "again here");
    Deliver(folder / "Beta", "again elsewhere");
    EXPECT_EQ(save().conflicts.at(0).second, copy + u".1");
}

TEST_F(ProjectTest, DeletedElsewhereGoesUnlessEditedHere)
{
    fs::remove(folder / "Alpha");
    fs::remove(folder / "Beta");
    Deliver(buffer / "Beta", "Beta edited here");
    const store::SyncReport report = save();
    EXPECT_EQ(report.removed, std::vector<std::u16string>{u"Alpha"});
    EXPECT_EQ(report.savedAgain, std::vector<std::u16string>{u"Beta"});
    EXPECT_FALSE(fs::exists(buffer / "Alpha")) << "not brought back";
    EXPECT_FALSE(fs::exists(folder / "Alpha"));
    EXPECT_EQ(ReadFile(folder / "Beta"), "Beta edited here");
}

TEST_F(ProjectTest, AbsorbTakesWhatChangedElsewhereAndLeavesTheRestForSave)
{
    Deliver(folder / "Alpha", "Alpha edited elsewhere");
    Deliver(folder / "Beta", "Beta edited elsewhere");
    Deliver(folder / "Gamma", "added elsewhere");
    // A sync engine's conflict copy is a page like any other; its own files are not.
    Deliver(folder / "Beta.sync-conflict-20261210-150000-ABCDEFG", "engine's copy");
    std::ofstream(folder / ".stignore") << "*.tmp";
    Deliver(buffer / "Beta", "Beta edited here");

    const store::SyncReport report = project.absorb();
    EXPECT_EQ(ReadFile(buffer / "Alpha"), "Alpha edited elsewhere");
    EXPECT_EQ(ReadFile(buffer / "Beta"), "Beta edited here") << "changed on both sides: the next Save decides";
    EXPECT_EQ(ReadFile(buffer / "Gamma"), "added elsewhere");
    EXPECT_TRUE(fs::exists(buffer / "Beta.sync-conflict-20261210-150000-ABCDEFG"));
    EXPECT_FALSE(fs::exists(buffer / ".stignore"));
    EXPECT_TRUE(report.conflicts.empty());
    EXPECT_EQ(ReadFile(folder / "Beta"), "Beta edited elsewhere") << "absorb never writes the project";

    // A page whose editor holds unwritten typing is not replaced under it.
    Deliver(folder / "Alpha", "Alpha edited elsewhere again");
    (void)project.absorb(u"Alpha");
    EXPECT_EQ(ReadFile(buffer / "Alpha"), "Alpha edited elsewhere");
    EXPECT_EQ(ReadFile(folder / ".stignore"), "*.tmp");
}

TEST_F(ProjectTest, ItemsMadeOrRenamedHereAreNoChangeFromElsewhere)
{
    fs::path where;
    ASSERT_FALSE(project.createItem(u"Gamma", "page Gamma", store::Flush::Skip, where));
    ASSERT_FALSE(project.renameItem(u"Alpha", u"First", where));
    const store::SyncReport report = save();
    EXPECT_FALSE(report.changedTheList());
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(ReadFile(folder / "Gamma"), "page Gamma");
    EXPECT_EQ(ReadFile(folder / "First"), "page Alpha");
    EXPECT_FALSE(fs::exists(folder / "Alpha"));
}

TEST_F(ProjectTest, AnItemWhoseBufferFileCannotBeMadeLeavesNoOrphanInTheProject)
{
    int creates = 0;
    const auto faults = test::ScopedFaults::byRule([&](std::string_view operation, std::string_view name) {
        // The second creation of the name is the buffer's.
        const bool fails = operation == "create" && name == "Gamma" && ++creates == 2;
        return fails ? std::make_error_code(std::errc::no_space_on_device) : std::error_code();
    });
    fs::path where;
    EXPECT_EQ(project.createItem(u"Gamma", "page Gamma", store::Flush::Skip, where),
              std::make_error_code(std::errc::no_space_on_device));
    EXPECT_EQ(where, buffer / "Gamma");
    EXPECT_FALSE(fs::exists(folder / "Gamma"));
    EXPECT_FALSE(fs::exists(buffer / "Gamma"));
}

TEST_F(ProjectTest, ARestoredSessionsPagesWinOverTheProjectAsItStands)
{
    Deliver(buffer / "Alpha", "typed before the crash");
    project.restored(folder);
    const store::SyncReport report = save();
    EXPECT_TRUE(report.conflicts.empty());
    EXPECT_EQ(ReadFile(folder / "Alpha"), "typed before the crash");
    EXPECT_EQ(ReadFile(folder / "Beta"), "page Beta");
}

} // namespace
