#include "core/store/ListMatch.h"

#include "core/store/OrderStamp.h"
#include "core/store/ProjectStore.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

namespace {
using Names = std::vector<std::u16string>;
} // namespace

TEST(ListsExactly, EveryNameAFileAndNoOtherItemFile)
{
    TempDir dir;
    for (const char* name : {"B", "a", "C"})
        WriteFile(dir / name, "x");
    WriteFile(dir / ".hidden", "not an item");
    fs::create_directory(dir / "folder");
    EXPECT_TRUE(store::ListsExactly(dir.path(), Names{u"C", u"a", u"B"}));
    EXPECT_FALSE(store::ListsExactly(dir.path(), Names{u"C", u"a"}));             // B is not listed
    EXPECT_FALSE(store::ListsExactly(dir.path(), Names{u"C", u"a", u"B", u"D"})); // no file D
    EXPECT_FALSE(store::ListsExactly(dir.path(), Names{u"C", u"A", u"B"}));       // case counts
    EXPECT_FALSE(store::ListsExactly(dir.path(), Names{u"C", u"C", u"a"}));
    EXPECT_TRUE(store::ListsExactly(dir / "missing", Names{}));
}

TEST(StampAll, SaysWhetherEveryNameIsAFileWithItsStamp)
{
    TempDir dir;
    WriteFile(dir / "A", "x");
    WriteFile(dir / "B", "x");
    EXPECT_TRUE(store::StampAll(dir.path(), Names{u"B", u"A"}));
    EXPECT_EQ(fs::last_write_time(dir / "A"), store::OrderStamp(1));
    EXPECT_TRUE(store::StampAll(dir.path(), Names{u"B", u"A"})); // already stamped
    EXPECT_FALSE(store::StampAll(dir.path(), Names{u"B", u"gone", u"A"}));
    EXPECT_EQ(fs::last_write_time(dir / "A"), store::OrderStamp(2)); // the others still get theirs
    EXPECT_FALSE(store::StampAll(dir / "missing", Names{u"A"}));
}
