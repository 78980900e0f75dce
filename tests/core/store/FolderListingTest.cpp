#include "core/store/FolderListing.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

using Names = std::vector<std::u16string>;

TEST(ListRegularFiles, GivesVisibleRegularFilesInNameOrderWithoutCase)
{
    TempDir dir;
    for (const char* name : {"b", "A", "c", ".hidden", "caf\xC3\xA9"})
        WriteFile(dir / name, "x");
    fs::create_directory(dir / "D");
    fs::create_symlink(dir / "b", dir / "E");
    ::mkfifo((dir / "F").c_str(), 0600);
    EXPECT_EQ(store::ListRegularFiles(dir.path()), (Names{u"A", u"b", u"c", u"caf\u00E9"}));
}

TEST(ListRegularFiles, SkipsSockets)
{
    TempDir dir;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (dir / "sock").string();
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    WriteFile(dir / "page", "");
    EXPECT_EQ(store::ListRegularFiles(dir.path()), (Names{u"page"}));
    ::close(fd);
}

TEST(ListRegularFiles, KeepsBothNamesThatDifferOnlyInCase)
{
    TempDir dir;
    for (const char* name : {"notes", "Other", "Notes", "NOTES"})
        WriteFile(dir / name, "x");
    EXPECT_EQ(store::ListRegularFiles(dir.path()), (Names{u"NOTES", u"Notes", u"notes", u"Other"}));
}

TEST(ListRegularFiles, LeavesOutNamesThatAreNotUtf8)
{
    TempDir dir;
    WriteFile(dir / "\xFF\xFE", "x");
    WriteFile(dir / "page", "x");
    EXPECT_EQ(store::ListRegularFiles(dir.path()), (Names{u"page"}));
}

TEST(ListRegularFiles, ReflectsTheFolderAtEachCallAndNeverFails)
{
    TempDir dir;
    EXPECT_TRUE(store::ListRegularFiles(dir.path()).empty());
    WriteFile(dir / "page", "x");
    EXPECT_EQ(store::ListRegularFiles(dir.path()), (Names{u"page"}));
    EXPECT_TRUE(store::ListRegularFiles(dir / "missing").empty());
    EXPECT_TRUE(store::ListRegularFiles(dir / "page").empty());
}
