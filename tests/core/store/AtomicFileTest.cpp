#include "core/store/AtomicFile.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

TEST(ReplaceFileAtomically, ReplacesTheContentAndLeavesNoTemporary)
{
    TempDir dir;
    WriteFile(dir / "page", "old text");
    EXPECT_FALSE(store::ReplaceFileAtomically(dir / "page", "new"));
    EXPECT_EQ(ReadFile(dir / "page"), "new");
    EXPECT_FALSE(store::ReplaceFileAtomically(dir / "fresh", "", store::Flush::Skip));
    EXPECT_EQ(ReadFile(dir / "fresh"), "");
    EXPECT_EQ(AllNames(dir.path()), (std::set<std::string>{"fresh", "page"}));
}

TEST(ReplaceFileAtomically, KeepsThePermissionBitsOfTheFileItReplaces)
{
    TempDir dir;
    WriteFile(dir / "page", "old");
    fs::permissions(dir / "page", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_FALSE(store::ReplaceFileAtomically(dir / "page", "new"));
    EXPECT_EQ(StatOf(dir / "page").st_mode & 07777, 0640u);
}

TEST(ReplaceFileAtomically, GivesTheNewFileTheRequestedTime)
{
    TempDir dir;
    const auto when = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    ASSERT_FALSE(store::ReplaceFileAtomically(dir / "page", "x", when));
    EXPECT_EQ(fs::last_write_time(dir / "page"), when);
}

TEST(ReplaceFileAtomically, FailureKeepsTheOldFileAndRemovesTheTemporary)
{
    TempDir dir;
    fs::create_directory(dir / "taken");
    WriteFile(dir / "taken" / "inside", "kept");
    EXPECT_TRUE(store::ReplaceFileAtomically(dir / "taken", "page over a folder"));
    EXPECT_EQ(ReadFile(dir / "taken" / "inside"), "kept");
    EXPECT_EQ(AllNames(dir.path()), (std::set<std::string>{"taken"}));

    EXPECT_EQ(store::ReplaceFileAtomically(dir / "missing" / "page", "x"), std::errc::no_such_file_or_directory);
}

TEST(ReplaceFileAtomically, ReadOnlyFolderRefusesAndKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: folder permissions are not enforced";
    TempDir dir;
    WriteFile(dir / "page", "old");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(store::ReplaceFileAtomically(dir / "page", "new"), std::errc::permission_denied);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(ReadFile(dir / "page"), "old");
    EXPECT_EQ(AllNames(dir.path()), (std::set<std::string>{"page"}));
}

TEST(ReplaceFileIfChanged, LeavesAFileWithTheSameBytesAlone)
{
    TempDir dir;
    WriteFile(dir / "page", "same");
    SetModified(dir / "page", 1'286'668'800);
    const ino_t inode = StatOf(dir / "page").st_ino;
    EXPECT_FALSE(store::ReplaceFileIfChanged(dir / "page", "same", store::Flush::Skip));
    EXPECT_FALSE(store::ReplaceFileIfChanged(dir / "page", "same"));
    EXPECT_EQ(StatOf(dir / "page").st_ino, inode);
    EXPECT_EQ(ModifiedOf(dir / "page"), 1'286'668'800);

    EXPECT_FALSE(store::ReplaceFileIfChanged(dir / "page", "sane", store::Flush::Skip));
    EXPECT_EQ(ReadFile(dir / "page"), "sane");
    EXPECT_FALSE(store::ReplaceFileIfChanged(dir / "new", "", store::Flush::Skip));
    EXPECT_EQ(AllNames(dir.path()), (std::set<std::string>{"new", "page"}));
}

TEST(CopyFileKeepingTime, CopiesContentAndModificationTime)
{
    TempDir dir;
    WriteFile(dir / "from", "page text");
    SetModified(dir / "from", 1'286'668'800);
    WriteFile(dir / "to", "older and longer text");
    ASSERT_FALSE(store::CopyFileKeepingTime(dir / "from", dir / "to"));
    EXPECT_EQ(ReadFile(dir / "to"), "page text");
    EXPECT_EQ(ModifiedOf(dir / "to"), 1'286'668'800);
}

TEST(CopyFileKeepingTime, MissingSourceCreatesNothing)
{
    TempDir dir;
    EXPECT_EQ(store::CopyFileKeepingTime(dir / "absent", dir / "to"), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(AllNames(dir.path()).empty());
}

TEST(ThroughLinks, ASettingsFileKeptAsALinkIsWrittenWhereItLeads)
{
    TempDir dir;
    const fs::path dotfiles = dir / "dotfiles";
    fs::create_directories(dotfiles);
    WriteFile(dotfiles / "config", "old");
    fs::create_symlink(dotfiles / "config", dir / "middle");
    fs::create_symlink(dir / "middle", dir / "config");      // a chain of two links
    fs::create_symlink(dotfiles / "Recent", dir / "Recent"); // leads nowhere yet
    WriteFile(dir / "plain", "plain");

    EXPECT_EQ(store::ThroughLinks(dir / "plain"), dir / "plain");
    EXPECT_EQ(store::ThroughLinks(dir / "absent"), dir / "absent");
    for (const auto& [link, target] :
         {std::pair{dir / "config", dotfiles / "config"}, std::pair{dir / "Recent", dotfiles / "Recent"}}) {
        ASSERT_EQ(store::ThroughLinks(link), target);
        ASSERT_FALSE(store::ReplaceFileAtomically(store::ThroughLinks(link), "new"));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(ReadFile(link), "new");
    }
}
