#include "support/FormFixture.h"

#include "core/links/ShellResult.h"

#include <filesystem>
#include <vector>

// Links of a page to files of this computer: a page may come from a shared project, so nothing
// opens without the user's word, and what would run is only shown in its folder.
using namespace quillory;
using namespace quillory::test;

namespace {

class LocalLinks : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"A"});
        writeConfig({.projectPath = project.u16string()});
        start();
    }

    fs::path beside(const std::string& name, fs::perms perms = fs::perms::owner_read | fs::perms::owner_write)
    {
        const fs::path file = project.parent_path() / name;
        writeFile(file, "x");
        fs::permissions(file, perms);
        return file;
    }

    fs::path project;
};

TEST_F(LocalLinks, ADocumentOpensOnlyWhenTheUserAgrees)
{
    const fs::path notes = beside("notes.txt");
    desktop.expectConfirm(Answer::No);
    form->REAnchorClick(u"file://" + notes.u16string());
    EXPECT_TRUE(desktop.runs.empty());
    ASSERT_EQ(desktop.texts(ScriptedDesktop::Kind::Confirm).size(), 1u);
    EXPECT_NE(desktop.texts(ScriptedDesktop::Kind::Confirm)[0].find(notes.u16string()), std::u16string::npos);

    desktop.expectConfirm(Answer::Yes);
    form->REAnchorClick(u"../notes.txt"); // beside the project
    ASSERT_EQ(desktop.runs.size(), 1u);
    EXPECT_EQ(desktop.runs[0], (ScriptedDesktop::Run{fs::weakly_canonical(notes).u16string(), {}, {}}));
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(LocalLinks, WhatWouldRunIsShownInItsFolderInstead)
{
    const std::vector<fs::path> targets = {
        fs::weakly_canonical(beside("Tool.desktop")),
        fs::weakly_canonical(beside("install.sh")),
        fs::weakly_canonical(beside("plain", fs::perms::owner_all)),
        fs::weakly_canonical(beside("game.jar")),
    };
    for (const fs::path& target : targets) {
        desktop.expectConfirm(Answer::Yes);
        desktop.expectInfo();
        form->REAnchorClick(target.u16string());
    }
    EXPECT_TRUE(desktop.runs.empty());
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_EQ(desktop.shownInFolder, targets);
    EXPECT_TRUE(desktop.allConsumed());
}

TEST_F(LocalLinks, MissingFilesAndOtherSchemesAskNothingAndOpenNothing)
{
    for (const std::u16string target : {u"/no/such/file.txt", u"javascript:alert(1)", u"smb://host/share"}) {
        desktop.expectInfo();
        form->REAnchorClick(target);
    }
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info)[0],
              std::u16string(links::ShellErrorText(links::ShellResult::FileNotFound)));
    EXPECT_TRUE(desktop.texts(ScriptedDesktop::Kind::Confirm).empty());
    EXPECT_TRUE(desktop.runs.empty());
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(desktop.shownInFolder.empty());
}

TEST_F(LocalLinks, WebAddressesOfEveryCommonSchemeGoToTheOpener)
{
    for (const std::u16string target : {u"https://example.org/", u"ftp://example.org/f", u"mailto:me@example.org"})
        form->REAnchorClick(target);
    EXPECT_EQ(desktop.opened,
              (std::vector<std::u16string>{u"https://example.org/", u"ftp://example.org/f", u"mailto:me@example.org"}));
    EXPECT_TRUE(desktop.shown.empty());
}

} // namespace
