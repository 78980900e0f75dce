#include "core/store/ProjectStore.h"

#include "support/Files.h"
#include "support/ScopedFaults.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

namespace {

class StoreFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(buffer);
        fs::create_directory(project);
    }
    [[nodiscard]] static std::vector<std::u16string> namesOf(const std::vector<store::FileFailure>& failures)
    {
        std::vector<std::u16string> names;
        for (const auto& f : failures)
            names.push_back(f.name);
        return names;
    }

    TempDir dir;
    fs::path buffer = dir / "Buffer";
    fs::path project = dir / "Notes.qlyp.dir";
};

constexpr const char* kOurs = ".qly-0123456789abcdef.tmp";

} // namespace

// One file that cannot be read, written, synced or renamed costs that file only, whichever step
// fails, and every failure is named.
TEST_F(StoreFaults, EachFailingFileIsNamedAndTheOthersAreSaved)
{
    const std::pair<const char*, const char*> steps[] = {{"read", "B"}, {"write", "B"}, {"sync", "B"}, {"rename", "B"}};
    for (const auto& [operation, name] : steps) {
        SCOPED_TRACE(operation);
        fs::remove_all(project);
        fs::create_directory(project);
        for (const char* page : {"A", "B", "C", "D"})
            WriteFile(buffer / page, std::string("new ") + page);
        WriteFile(project / "B", "old B");
        const ScopedFaults faults({{operation, name}, {"read", "D"}});
        const auto failures = store::CopyBufferToProject(buffer, project);
        EXPECT_EQ(namesOf(failures), (std::vector<std::u16string>{u"B", u"D"}));
        EXPECT_EQ(failures.at(0).error, std::errc::permission_denied);
        EXPECT_EQ(ReadFile(project / "A"), "new A");
        EXPECT_EQ(ReadFile(project / "B"), "old B");
        EXPECT_EQ(ReadFile(project / "C"), "new C");
        EXPECT_FALSE(fs::exists(project / "D"));
        EXPECT_EQ(AllNames(project), (std::set<std::string>{"A", "B", "C"})); // no temporary left
    }
}

TEST_F(StoreFaults, AFileSystemThatCannotSyncFailsEveryStagedFileAndLeavesTheProjectAsItWas)
{
    for (int i = 0; i < 20; ++i)
        WriteFile(buffer / std::string("p").append(std::to_string(i)), "new");
    WriteFile(project / "p0", "old");
    const ScopedFaults faults({{"sync", ""}});
    EXPECT_EQ(store::CopyBufferToProject(buffer, project).size(), 20u);
    EXPECT_EQ(AllNames(project), std::set<std::string>{"p0"});
    EXPECT_EQ(ReadFile(project / "p0"), "old");
}

TEST_F(StoreFaults, AReadOnlyProjectFileIsReplacedAndStaysReadOnly)
{
    WriteFile(buffer / "A", "new");
    WriteFile(project / "A", "old");
    fs::permissions(project / "A", fs::perms::owner_read);
    EXPECT_TRUE(store::CopyBufferToProject(buffer, project).empty());
    EXPECT_EQ(ReadFile(project / "A"), "new");
    EXPECT_EQ(fs::status(project / "A").permissions() & fs::perms::all, fs::perms::owner_read);
}

// A save killed part-way leaves hidden temporaries; opening or saving the folder removes ours and
// no other hidden file.
TEST_F(StoreFaults, OurStaleTemporariesGoWhenAFolderIsOpenedOrSaved)
{
    const auto leave = [&] {
        WriteFile(project / kOurs, "half a page");
        WriteFile(project / ".qly-not-ours.tmp", "x");
        WriteFile(project / ".hidden", "x");
    };
    WriteFile(project / "A", "a");
    leave();
    (void)store::LoadProjectIntoBuffer(project, buffer);
    EXPECT_EQ(AllNames(project), (std::set<std::string>{".hidden", ".qly-not-ours.tmp", "A"}));
    leave();
    (void)store::RefillBuffer(project, buffer);
    EXPECT_FALSE(fs::exists(project / kOurs));
    leave();
    EXPECT_TRUE(store::CopyBufferToProject(buffer, project).empty());
    EXPECT_EQ(AllNames(project), (std::set<std::string>{".hidden", ".qly-not-ours.tmp", "A"}));
}

TEST_F(StoreFaults, APageThatCannotBeCopiedInIsReportedAndNoOlderCopyStandsInForIt)
{
    WriteFile(project / "A", "a");
    WriteFile(project / "B", "b as saved");
    WriteFile(buffer / "B", "b from a session that was never saved");
    const ScopedFaults faults({{"read", "B"}});
    const store::LoadResult loaded = store::RefillBuffer(project, buffer);
    EXPECT_EQ(loaded.names, (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(namesOf(loaded.failures), std::vector<std::u16string>{u"B"});
    EXPECT_EQ(AllNames(buffer), std::set<std::string>{"A"});
}

// A folder that folds names this program's listing does not place side by side (Unicode case on
// exFAT or ext4 casefold): the second name resolves to the file the save just wrote. Emulated with
// a hard link made as the second rename is about to happen; the save must not write over its own
// first file, and says which page clashed.
TEST_F(StoreFaults, ASaveNeverRenamesOverAFileItWroteItself)
{
    WriteFile(buffer / "\xC3\x9C"
                       "bersicht",
              "capital");
    WriteFile(buffer / "\xC3\xBC"
                       "bersicht",
              "small");
    const auto faults = ScopedFaults::byRule([&](std::string_view operation, std::string_view name) {
        if (operation == "rename" && name == "\xC3\xBC"
                                             "bersicht")
            fs::create_hard_link(project / "\xC3\x9C"
                                           "bersicht",
                                 project / "\xC3\xBC"
                                           "bersicht");
        return std::error_code();
    });
    const std::vector<store::FileFailure> failures = store::CopyBufferToProject(buffer, project);
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].name, u"\u00FCbersicht");
    EXPECT_EQ(failures[0].error, std::errc::file_exists);
    EXPECT_EQ(ReadFile(project / "\xC3\x9C"
                                 "bersicht"),
              "capital");
}
