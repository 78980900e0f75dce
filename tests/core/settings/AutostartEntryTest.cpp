#include "core/settings/AutostartEntry.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace quillory;
using namespace quillory::test;
namespace fs = std::filesystem;

namespace {

std::string ExecLine(const fs::path& program)
{
    const auto text = settings::AutostartEntryText(program);
    if (!text)
        return "(none)";
    const auto at = text->find("\nExec=");
    return text->substr(at + 6, text->find('\n', at + 1) - at - 6);
}

} // namespace

TEST(AutostartEntry, StartsTheProgramFromItsFolder)
{
    EXPECT_EQ(settings::AutostartEntryText("/opt/quillory/bin/quillory"),
              "[Desktop Entry]\nType=Application\nName=Quillory\nComment=Start Quillory in the system tray at "
              "log-on\nIcon=org.quillory.Quillory\nExec=/opt/quillory/bin/quillory\nPath=/opt/quillory/bin\n");
}

TEST(AutostartEntry, QuotesAndEscapesTheProgramPath)
{
    EXPECT_EQ(ExecLine("/home/u/My Apps/quillory"), "\"/home/u/My Apps/quillory\"");
    // Inside quotes: \" for a quote, then every backslash doubled once more for the string value.
    EXPECT_EQ(ExecLine("/home/u/say \"hi\"/quillory"), "\"/home/u/say \\\\\"hi\\\\\"/quillory\"");
    EXPECT_EQ(ExecLine("/home/u/$HOME/quillory"), "\"/home/u/\\\\$HOME/quillory\"");
    EXPECT_EQ(ExecLine("/home/u/a\\b/quillory"), "\"/home/u/a\\\\\\\\b/quillory\"");
    // "%" is written "%%", and a shell starts the program, which launchers then find.
    const std::string shell = "/bin/sh -c \"exec \\\\\"\\\\$0\\\\\"\" ";
    EXPECT_EQ(ExecLine("/home/u/100%/quillory"), shell + "/home/u/100%%/quillory");
    EXPECT_EQ(ExecLine("/home/u/50% off/quillory"), shell + "\"/home/u/50%% off/quillory\"");
    EXPECT_EQ(ExecLine("/home/u/it's/quillory"), "\"/home/u/it's/quillory\"");
}

TEST(AutostartEntry, RefusesPathsAnEntryCannotHold)
{
    EXPECT_EQ(settings::AutostartEntryText("quillory"), std::nullopt);
    EXPECT_EQ(settings::AutostartEntryText("/home/u/caf\xe9/quillory"), std::nullopt);
    EXPECT_NE(settings::AutostartPathProblem("/home/u/caf\xe9/quillory").find(u"UTF-8"), std::u16string::npos);
    EXPECT_EQ(settings::AutostartPathProblem("/home/u/caf\xc3\xa9/quillory"), u"");
    EXPECT_EQ(ExecLine("/home/u/a=b/quillory"), "/home/u/a=b/quillory");
    TempDir dir;
    EXPECT_EQ(settings::WriteAutostartEntry(dir / "autostart", "relative/quillory"), std::errc::invalid_argument);
    EXPECT_FALSE(fs::exists(dir / "autostart"));
}

TEST(AutostartEntry, WriteCreatesTheFolderAndRemoveDeletes)
{
    TempDir dir;
    const fs::path autostart = dir / "config" / "autostart";
    EXPECT_FALSE(settings::HasAutostartEntry(autostart));
    ASSERT_FALSE(settings::WriteAutostartEntry(autostart, "/opt/q/quillory"));
    EXPECT_TRUE(settings::HasAutostartEntry(autostart));
    EXPECT_EQ(ReadFile(autostart / "Quillory.desktop"), *settings::AutostartEntryText("/opt/q/quillory"));
    ASSERT_FALSE(settings::WriteAutostartEntry(autostart, "/opt/other/quillory"));
    EXPECT_EQ(AllNames(autostart), (std::set<std::string>{"Quillory.desktop"}));
    EXPECT_FALSE(settings::RemoveAutostartEntry(autostart));
    EXPECT_FALSE(settings::HasAutostartEntry(autostart));
    EXPECT_FALSE(settings::RemoveAutostartEntry(autostart));
}

TEST(AutostartEntry, PassesTheDesktopFileValidator)
{
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed";
    TempDir dir;
    for (const char* program : {"/opt/q/quillory", "/home/u/My Apps/quillory", "/home/u/say \"hi\" $x\\y/quillory",
                                "/home/u/100% (new)/quillory"}) {
        ASSERT_FALSE(settings::WriteAutostartEntry(dir.path(), program));
        const std::string command = "desktop-file-validate '" + (dir / "Quillory.desktop").string() + "' > '" +
                                    (dir / "out").string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << program << "\n" << ReadFile(dir / "out");
        EXPECT_EQ(ReadFile(dir / "out"), "") << program;
    }
}

// Each kind of path the Exec rules treat specially, as the validator reads the entry and as the
// desktop launches it: the program must start from its own folder.
TEST(AutostartEntry, TheDesktopLaunchesTheEntryFromEveryKindOfPath)
{
    if (std::system("command -v gio >/dev/null 2>&1 && command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "gio or desktop-file-validate is not installed";
    TempDir dir;
    for (const char* folder :
         {"plain", "100% sure", "a=b", "say \"hi\" $HOME", "back\\slash", "it's (new) #1", "caf\xc3\xa9 & ~more"}) {
        SCOPED_TRACE(folder);
        const fs::path programDir = dir / "programs" / folder;
        fs::create_directories(programDir);
        const fs::path program = programDir / "quillory";
        const fs::path marker = dir / "started";
        fs::remove(marker);
        // Records the folder it was started in, which the entry's Path sets.
        WriteFile(program, "#!/bin/sh\npwd > '" + marker.string() + ".tmp' && mv '" + marker.string() + ".tmp' '" +
                               marker.string() + "'\n");
        fs::permissions(program, fs::perms::owner_all);
        ASSERT_FALSE(settings::WriteAutostartEntry(dir / "autostart", program));
        const fs::path entry = dir / "autostart" / "Quillory.desktop";

        const std::string validate =
            "desktop-file-validate '" + entry.string() + "' > '" + (dir / "out").string() + "' 2>&1";
        EXPECT_EQ(std::system(validate.c_str()), 0) << ReadFile(dir / "out");
        EXPECT_EQ(ReadFile(dir / "out"), "");

        const std::string launch = "gio launch '" + entry.string() + "' > '" + (dir / "out").string() + "' 2>&1";
        ASSERT_EQ(std::system(launch.c_str()), 0) << ReadFile(dir / "out");
        for (int i = 0; i < 500 && !fs::exists(marker); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(ReadFile(marker), fs::canonical(programDir).string() + "\n");
    }
}
