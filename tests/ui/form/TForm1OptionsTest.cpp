#include "support/FormFixture.h"

#include <QAction>
#include <QProcess>
#include <QStandardPaths>
#include <QSplitter>

using namespace quillory;
using namespace quillory::test;

namespace {
class Options : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        desktop.program = home / "opt dir" / "quillory";
        start();
        tick();
    }
    [[nodiscard]] fs::path entry() const { return desktop.autostart / "Quillory.desktop"; }
};
} // namespace

TEST_F(Options, StartWithWindowsWritesAndRemovesTheAutostartEntry)
{
    form->StartwithWindows1->trigger();
    ASSERT_TRUE(fs::exists(entry()));
    const std::string text = readFile(entry());
    EXPECT_NE(text.find("Exec=\"" + desktop.program.string() + "\""), std::string::npos) << text;
    EXPECT_NE(text.find("Path=" + (home / "opt dir").string()), std::string::npos) << text;
    if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {QString::fromStdString(entry().string())});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
    }
    form->StartwithWindows1->trigger();
    EXPECT_FALSE(fs::exists(entry()));
}

TEST_F(Options, HelpModeExplainsAndLeavesTheCheckMarkAsItWas)
{
    form->SpeedButton9Click(form->SpeedButton9);
    for (QAction* option : {form->SOT, form->SST, form->Autosave, form->MinimiseafterCopy, form->EnableFunctionKeyCopy,
                            form->StartwithWindows1}) {
        const bool before = option->isChecked();
        desktop.expectInfo();
        option->trigger();
        EXPECT_EQ(option->isChecked(), before) << option->objectName().toStdString();
    }
    EXPECT_FALSE(fs::exists(entry()));
    form->Wordwrap->trigger(); // no command: it simply toggles
    EXPECT_FALSE(form->Wordwrap->isChecked());
}

TEST_F(Options, OptionsFlipWithoutHelpMode)
{
    form->SOT->trigger();
    EXPECT_TRUE(form->SOT->isChecked());
    tick();
    EXPECT_TRUE(form->isStayOnTop());
}

TEST_F(Options, SplitterSizesReachConfig)
{
    form->resize(800, 600);
    form->Splitter1->setSizes({250, 550});
    form->Splitter1Moved();
    form->Splitter2->setSizes({300, 120});
    form->Splitter2Moved();
    bool canClose = true;
    form->FormCloseQuery(canClose);
    const std::string config = readFile(dataDir() / "config");
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < config.size()) {
        const auto end = config.find("\r\n", at);
        lines.push_back(config.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[5], "250");
    EXPECT_EQ(lines[15], "120");
}
