#include "core/Utf.h"
#include "core/store/ItemFiles.h"
#include "core/store/ProjectStore.h"

#include "core/store/FolderNames.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

TEST(ItemNameProblem, AcceptsFileNamesTheListShowsUnchanged)
{
    const std::vector<std::u16string> names{u"Notes",
                                            u"notes.txt",
                                            u"a b",
                                            u"-1",
                                            u"Zo\u00EB's list",
                                            u"back\\slash",
                                            u"x.",
                                            std::u16string(200, u'n'),
                                            std::u16string(127, u'\u00E9')};
    for (const std::u16string& name : names)
        EXPECT_FALSE(store::ItemNameProblem(name).has_value()) << std::string(name.begin(), name.end());
}

TEST(ItemNameProblem, RefusesWhatCannotBeAFileOrWouldBeListedUnderAnotherName)
{
    const std::u16string nul(u"a\0b", 3);
    const std::u16string lone{u'a', static_cast<char16_t>(0xD800), u'b'};
    for (const std::u16string& name :
         {std::u16string(u"   "), std::u16string(u"a/b"), nul, std::u16string(u"tab\there"),
          std::u16string(u"line\nbreak"), std::u16string(u"."), std::u16string(u".."), std::u16string(u" leading"),
          std::u16string(u"trailing "), std::u16string(u".hidden"), lone, std::u16string(201, u'n'),
          std::u16string(128, u'\u00E9')})
        EXPECT_TRUE(store::ItemNameProblem(name).has_value()) << name.size();
    // The file system's own limit, in bytes.
    EXPECT_TRUE(store::ItemNameProblem(u"twelve bytes", 11).has_value());
    EXPECT_FALSE(store::ItemNameProblem(u"twelve bytes", 12).has_value());
}

TEST(FolderNames, FindsEveryEntryWithoutRegardToCase)
{
    TempDir dir;
    WriteFile(dir / "notes", "");
    WriteFile(dir / ".hidden", "");
    fs::create_directory(dir / "Folder");
    WriteFile(dir / "\xC3\xA9t\xC3\xA9", ""); // "été"
    const store::FolderNames names(dir.path());
    EXPECT_TRUE(names.contains(u"Notes"));
    EXPECT_TRUE(names.contains(u"NOTES"));
    EXPECT_TRUE(names.contains(u".HIDDEN"));
    EXPECT_TRUE(names.contains(u"folder"));
    EXPECT_TRUE(names.contains(u"\u00E9t\u00E9"));
    // A folder that ignores case (exFAT, NTFS, SMB, ext4 casefold) folds every script's letters.
    EXPECT_TRUE(names.contains(u"\u00C9T\u00C9"));
    EXPECT_FALSE(names.contains(u"note"));
    EXPECT_FALSE(store::FolderNames(dir / "missing").contains(u"notes"));
}

TEST(FolderNames, EveryLetterBlocksItsOtherCaseAndNothingElse)
{
    struct Case {
        std::u16string_view onDisk, asked;
        bool taken;
    };
    std::vector<Case> cases;
    // Every ASCII letter, the first and last above all: an off-by-one at either end shows.
    static const std::u16string kLower = u"abcdefghijklmnopqrstuvwxyz";
    static const std::u16string kUpper = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (std::size_t i = 0; i < kLower.size(); ++i)
        cases.push_back({std::u16string_view(kLower).substr(i, 1), std::u16string_view(kUpper).substr(i, 1), true});
    cases.insert(cases.end(), {
                                  {u"Pizza", u"PIZZA", true},
                                  {u"\u00DCbersicht", u"\u00FCbersicht", true}, // Übersicht
                                  {u"\u03A3\u03BF\u03C6\u03AF\u03B1", u"\u03C3\u03BF\u03C6\u03AF\u03B1", true}, // Σοφία
                                  {u"\u03C2", u"\u03A3", true},         // final sigma
                                  {u"\u212A", u"k", true},              // Kelvin sign
                                  {u"\u0416", u"\u0436", true},         // Cyrillic Zhe
                                  {u"\U00010400", u"\U00010428", true}, // Deseret, beyond the BMP
                                  {u"@", u"`", false},                  // the neighbours of A and a
                                  {u"[", u"{", false},
                                  {u"Z", u"z\u0301", false},
                                  {u"\u00DF", u"ss", false}, // ß: one file only where equal
                              });
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.onDisk) + " asked as " + Utf16ToUtf8(c.asked));
        TempDir dir;
        WriteFile(dir / fs::path(c.onDisk), "");
        EXPECT_EQ(store::FolderNames(dir.path()).contains(c.asked), c.taken);
        EXPECT_EQ(store::FindItem(std::vector<std::u16string>{std::u16string(c.onDisk)}, c.asked).has_value(), c.taken);
    }
}

TEST(CreateItemFile, WritesANewFileAndNeverReplacesOne)
{
    TempDir dir;
    EXPECT_FALSE(store::CreateItemFile(dir.path(), u"Empty", {}));
    EXPECT_FALSE(store::CreateItemFile(dir.path(), u"Page \u00E9", "text", store::Flush::Skip));
    EXPECT_EQ(ReadFile(dir / "Empty"), "");
    EXPECT_EQ(ReadFile(dir / "Page \xC3\xA9"), "text");

    EXPECT_EQ(store::CreateItemFile(dir.path(), u"Page \u00E9", "other"), std::errc::file_exists);
    EXPECT_EQ(ReadFile(dir / "Page \xC3\xA9"), "text");
    fs::create_directory(dir / "Folder");
    EXPECT_EQ(store::CreateItemFile(dir.path(), u"Folder", "x"), std::errc::file_exists);
    EXPECT_EQ(AllNames(dir.path()), (std::set<std::string>{"Empty", "Folder", "Page \xC3\xA9"}));

    EXPECT_EQ(store::CreateItemFile(dir / "missing", u"x", "x"), std::errc::no_such_file_or_directory);
}

TEST(RenameItemFile, KeepsTheTimeAndRefusesToReplace)
{
    TempDir dir;
    WriteFile(dir / "Old", "old page");
    SetModified(dir / "Old", LocalMidnight(2010, 10, 12));
    WriteFile(dir / "Taken", "taken page");
    EXPECT_EQ(store::RenameItemFile(dir.path(), u"Old", u"Taken"), std::errc::file_exists);
    EXPECT_EQ(ReadFile(dir / "Taken"), "taken page");
    EXPECT_EQ(ReadFile(dir / "Old"), "old page");

    EXPECT_FALSE(store::RenameItemFile(dir.path(), u"Old", u"New"));
    EXPECT_EQ(ReadFile(dir / "New"), "old page");
    EXPECT_EQ(ModifiedOf(dir / "New"), LocalMidnight(2010, 10, 12));
    EXPECT_EQ(AllNames(dir.path()), (std::set<std::string>{"New", "Taken"}));
    EXPECT_EQ(store::RenameItemFile(dir.path(), u"Old", u"Other"), std::errc::no_such_file_or_directory);
}
