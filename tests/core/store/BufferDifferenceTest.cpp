#include "core/store/BufferDifference.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace quillory;

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes, fs::file_time_type time)
{
    std::ofstream(file, std::ios::binary) << bytes;
    fs::last_write_time(file, time);
}

class BufferDifferenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(buffer);
        fs::create_directories(project);
    }
    // A page in both folders, as a load or a save leaves it.
    void both(const std::string& name, const std::string& bytes, int day)
    {
        Write(buffer / name, bytes, stamp(day));
        Write(project / name, bytes, stamp(day));
    }
    static fs::file_time_type stamp(int day) { return fs::file_time_type{} + std::chrono::hours(24 * (15000 + day)); }

    test::TempDir dir;
    fs::path buffer = dir.path() / "Buffer";
    fs::path project = dir.path() / "P.qlyp.dir";
};

TEST_F(BufferDifferenceTest, EqualFoldersDifferInNothing)
{
    both("One", "page one", 0);
    both("Two", "page two", 1);
    // Hidden files are no pages: a sync engine's own, or ours.
    Write(project / ".stignore", "x", stamp(5));
    Write(buffer / ".qly-0123456789abcdef.tmp", "x", stamp(6));
    EXPECT_EQ(store::CompareBufferWithProject(buffer, project).total(), 0U);
}

TEST_F(BufferDifferenceTest, EveryKindOfUnsavedChangeCounts)
{
    both("Same", "unchanged", 0);
    both("Typed", "abc", 1);
    Write(buffer / "Typed", "abd", stamp(1)); // same size and stamp, other bytes
    both("Moved", "moved", 2);
    Write(buffer / "Moved", "moved", stamp(20)); // another place in the list
    both("Longer", "a", 3);
    Write(buffer / "Longer", "ab", stamp(3));
    Write(buffer / "New", "added here", stamp(4));
    Write(project / "Gone", "deleted here", stamp(5));
    // The same name in another case is another page on this file system.
    Write(buffer / "same", "unchanged", stamp(6));

    const store::BufferDifference d = store::CompareBufferWithProject(buffer, project);
    EXPECT_EQ(d.added, 2U);
    // Typed, Longer and Moved: moving Moved past Longer moves Longer too, which changed anyway.
    EXPECT_EQ(d.changed, 3U);
    EXPECT_EQ(d.deleted, 1U);
    EXPECT_EQ(d.total(), 6U);
}

TEST_F(BufferDifferenceTest, TimesThatKeepTheOrderAreNoChange)
{
    // The buffer is stamped by list position; a project written elsewhere carries other times.
    both("One", "page one", 0);
    both("Two", "page two", 1);
    Write(project / "One", "page one", stamp(100));
    Write(project / "Two", "page two", stamp(250));
    EXPECT_EQ(store::CompareBufferWithProject(buffer, project).total(), 0U);
    Write(project / "One", "page one", stamp(300));
    EXPECT_EQ(store::CompareBufferWithProject(buffer, project).changed, 2U);
}

TEST_F(BufferDifferenceTest, AProjectThatCannotBeReadLeavesEveryBufferPageUnsaved)
{
    both("One", "page one", 0);
    Write(buffer / "Two", "page two", stamp(1));
    const store::BufferDifference d = store::CompareBufferWithProject(buffer, dir.path() / "Missing.qlyp.dir");
    EXPECT_EQ(d.added, 2U);
    EXPECT_EQ(d.deleted, 0U);
}

} // namespace
