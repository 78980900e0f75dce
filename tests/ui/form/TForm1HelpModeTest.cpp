#include "support/FolderSnapshot.h"
#include "support/FormFixture.h"
#include "ui/form/EventHook.h"
#include "ui/form/Glyphs.h"
#include "ui/form/HelpTexts.h"
#include "ui/about/TForm2.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTextCursor>

#include <functional>
#include <map>
#include <memory>

using namespace quillory;
using namespace quillory::test;

namespace {

using Kind = ScriptedDesktop::Kind;
using Handler = void (TForm1::*)(QObject*);

// One command as one of its controls issues it.
struct Row {
    const char* name;
    QObject* (*sender)(TForm1&);
    Handler handler;
    std::u16string (*text)(const TForm1&);
    // Runs the handler as the program's own call (the window as sender) and checks its effect.
    void (*acts)(TForm1&, ScriptedDesktop&);
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}

template <auto Control> QObject* control(TForm1& f)
{
    return f.*Control;
}
template <const std::u16string* Text> std::u16string fixed(const TForm1&)
{
    return *Text;
}

std::vector<std::string> entries(const TForm1& f)
{
    std::vector<std::string> out;
    for (int i = 0; i < f.LB->count(); ++i)
        out.push_back(f.LB->item(i)->text().toStdString());
    return out;
}

// An option's command: the menu flips the check mark, the command keeps it.
template <auto Option, Handler H> void optionActs(TForm1& f, ScriptedDesktop&)
{
    const bool before = (f.*Option)->isChecked();
    (f.*Option)->toggle();
    (f.*H)(&f);
    EXPECT_NE((f.*Option)->isChecked(), before);
}

void saves(TForm1& f, ScriptedDesktop&)
{
    f.SaveProject1Click(&f);
    EXPECT_FALSE(f.Edited);
    std::ifstream in(std::filesystem::path(f.ProjectPath) / "Two", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(bytes.find("www.a.org"), std::string::npos);
}
void asksForAFolder(TForm1& f, ScriptedDesktop& d)
{
    d.expectFolder(std::nullopt);
    f.SaveProjectAs1Click(&f);
    EXPECT_EQ(d.texts(Kind::Folder).size(), 1u);
}
void quits(TForm1& f, ScriptedDesktop& d)
{
    d.expectConfirm(Answer::No);
    f.Exit1Click(&f);
    EXPECT_FALSE(f.isVisible());
}
void adds(TForm1& f, ScriptedDesktop& d)
{
    d.expectPrompt(u"Four");
    f.AddItem1Click(&f);
    EXPECT_EQ(entries(f), (std::vector<std::string>{"One", "Two", "Three", "Four"}));
}
void deletes(TForm1& f, ScriptedDesktop& d)
{
    d.expectConfirm(Answer::Yes);
    f.DeleteItem1Click(&f);
    EXPECT_EQ(entries(f), (std::vector<std::string>{"One", "Three"}));
}
void renames(TForm1& f, ScriptedDesktop& d)
{
    d.expectPrompt(u"Deux");
    f.RenameItem1Click(&f);
    EXPECT_EQ(entries(f), (std::vector<std::string>{"One", "Deux", "Three"}));
}
void copies(TForm1& f, ScriptedDesktop& d)
{
    f.CopyItemtoClipboardCtrlF4Hotkey1Click(&f);
    EXPECT_EQ(d.balloons.size(), 1u);
}
void writesTheAutostartEntry(TForm1& f, ScriptedDesktop& d)
{
    optionActs<&TForm1::StartwithWindows1, &TForm1::StartwithWindows1Click>(f, d);
    EXPECT_TRUE(std::filesystem::exists(d.autostart / "Quillory.desktop"));
}
void highlights(TForm1& f, ScriptedDesktop&)
{
    f.HighlightWebLinkswww1Click(&f);
    QTextCursor at(f.RE->document());
    at.setPosition(f.RE->toPlainText().indexOf(QStringLiteral("www.")) + 1);
    EXPECT_TRUE(at.charFormat().fontUnderline());
}
void prints(TForm1& f, ScriptedDesktop& d)
{
    f.Print1Click(&f);
    EXPECT_EQ(d.printed.size(), 1u);
}
void opensTheWebsite(TForm1& f, ScriptedDesktop& d)
{
    f.Website1Click(&f);
    EXPECT_EQ(d.runs.size(), 1u);
}
// The two explanations in their own right say the same outside help mode.
template <Handler H, const std::u16string* Text> void explains(TForm1& f, ScriptedDesktop& d)
{
    d.expectInfo();
    (f.*H)(&f);
    EXPECT_EQ(d.texts(Kind::Info).back(), *Text);
}

std::u16string saveText(const TForm1& f)
{
    return help::kSaveProject + f.ProjectPath;
}

using F = TForm1;
const Row kRows[] = {
    {"SaveSpeedButton1", control<&F::SpeedButton1>, &F::SaveProject1Click, saveText, saves},
    {"SaveProject1", control<&F::SaveProject1>, &F::SaveProject1Click, saveText, saves},
    {"OpenSpeedButton2", control<&F::SpeedButton2>, &F::SaveProjectAs1Click, fixed<&help::kOpenProject>,
     asksForAFolder},
    {"OpenProject", control<&F::OpenProject>, &F::SaveProjectAs1Click, fixed<&help::kOpenProject>, asksForAFolder},
    {"SaveProjectAs1", control<&F::SaveProjectAs1>, &F::SaveProjectAs1Click, fixed<&help::kRelocateProject>,
     asksForAFolder},
    {"NewProject", control<&F::NewProject>, &F::SaveProjectAs1Click, fixed<&help::kNewProject>, asksForAFolder},
    {"Autosave", control<&F::Autosave>, &F::AutosaveClick, fixed<&help::kAutosave>,
     optionActs<&F::Autosave, &F::AutosaveClick>},
    {"Exit1", control<&F::Exit1>, &F::Exit1Click, fixed<&help::kExit>, quits},
    {"Exit2", control<&F::Exit2>, &F::Exit1Click, fixed<&help::kExit>, quits},
    {"AddSpeedButton3", control<&F::SpeedButton3>, &F::AddItem1Click, fixed<&help::kAddItem>, adds},
    {"AddItem2", control<&F::AddItem2>, &F::AddItem1Click, fixed<&help::kAddItem>, adds},
    {"DeleteSpeedButton4", control<&F::SpeedButton4>, &F::DeleteItem1Click, fixed<&help::kDeleteItem>, deletes},
    {"DeleteItem2", control<&F::DeleteItem2>, &F::DeleteItem1Click, fixed<&help::kDeleteItem>, deletes},
    {"RenameSpeedButton5", control<&F::SpeedButton5>, &F::RenameItem1Click, fixed<&help::kRenameItem>, renames},
    {"RenameItem1", control<&F::RenameItem1>, &F::RenameItem1Click, fixed<&help::kRenameItem>, renames},
    {"CopySpeedButton7", control<&F::SpeedButton7>, &F::CopyItemtoClipboardCtrlF4Hotkey1Click,
     fixed<&help::kCopyToClipboard>, copies},
    {"CopyItemtoClipboardCtrlF4Hotkey1", control<&F::CopyItemtoClipboardCtrlF4Hotkey1>,
     &F::CopyItemtoClipboardCtrlF4Hotkey1Click, fixed<&help::kCopyToClipboard>, copies},
    {"StartwithWindows1", control<&F::StartwithWindows1>, &F::StartwithWindows1Click, fixed<&help::kStartWithWindows>,
     writesTheAutostartEntry},
    {"SST", control<&F::SST>, &F::SSTClick, fixed<&help::kStartInTray>, optionActs<&F::SST, &F::SSTClick>},
    {"SOT", control<&F::SOT>, &F::SOTClick, fixed<&help::kStayOnTop>, optionActs<&F::SOT, &F::SOTClick>},
    {"MinimiseafterCopy", control<&F::MinimiseafterCopy>, &F::MinimiseafterCopyClick, fixed<&help::kMinimiseAfterCopy>,
     optionActs<&F::MinimiseafterCopy, &F::MinimiseafterCopyClick>},
    {"EnableFunctionKeyCopy", control<&F::EnableFunctionKeyCopy>, &F::EnableFunctionKeyCopyClick,
     fixed<&help::kFunctionKeyCopy>, optionActs<&F::EnableFunctionKeyCopy, &F::EnableFunctionKeyCopyClick>},
    {"HighlightWebLinkswww1", control<&F::HighlightWebLinkswww1>, &F::HighlightWebLinkswww1Click,
     fixed<&help::kHighlightWebLinks>, highlights},
    {"PrintSpeedButton8", control<&F::SpeedButton8>, &F::Print1Click, fixed<&help::kPrint>, prints},
    {"Print1", control<&F::Print1>, &F::Print1Click, fixed<&help::kPrint>, prints},
    {"Website1", control<&F::Website1>, &F::Website1Click, fixed<&help::kWebsite>, opensTheWebsite},
    {"ReminderSetup1", control<&F::ReminderSetup1>, &F::ReminderSetup1Click, fixed<&help::kReminderSetup>,
     explains<&F::ReminderSetup1Click, &help::kReminderSetup>},
    {"OverviewSpeedButton6", control<&F::SpeedButton6>, &F::SpeedButton6Click, fixed<&help::kOverview>,
     explains<&F::SpeedButton6Click, &help::kOverview>},
};

class HelpMode : public FormFixture, public ::testing::WithParamInterface<Row> {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        desktop.trash = home / "Trash";
        project = makeProject("Work.qlyp.dir", {"One", "Two", "Three"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Two"});
        start();
        tick();
        type(QStringLiteral(" www.a.org"));
        QTextCursor selection(form->RE->document());
        selection.setPosition(2);
        selection.setPosition(5, QTextCursor::KeepAnchor);
        form->RE->setTextCursor(selection);
        form->SpeedButton9->click();
    }

    [[nodiscard]] std::map<std::string, bool> checkMarks() const
    {
        std::map<std::string, bool> marks;
        for (const QAction* action : form->findChildren<QAction*>())
            if (action->isCheckable())
                marks[action->objectName().toStdString()] = action->isChecked();
        return marks;
    }
    void issue(QObject* sender)
    {
        if (auto* action = qobject_cast<QAction*>(sender))
            action->trigger();
        else
            qobject_cast<QToolButton*>(sender)->click();
    }

    fs::path project;
};

} // namespace

TEST_P(HelpMode, TheControlExplainsTheCommandAndTheProgramsOwnCallRunsIt)
{
    const Row& row = GetParam();
    const FolderSnapshot data = FolderSnapshot::of(dataDir());
    const FolderSnapshot folder = FolderSnapshot::of(project);
    const auto marks = checkMarks();
    const int anchor = form->RE->textCursor().anchor();
    const int position = form->RE->textCursor().position();
    ASSERT_TRUE(form->Edited);
    ASSERT_EQ(form->LB->currentRow(), 1);

    desktop.expectInfo();
    issue(row.sender(*form));
    EXPECT_EQ(desktop.texts(Kind::Info), std::vector<std::u16string>{row.text(*form)});
    EXPECT_TRUE(desktop.allConsumed());
    EXPECT_EQ(desktop.shown.size(), 1u);
    EXPECT_TRUE(desktop.printed.empty());
    EXPECT_TRUE(desktop.runs.empty());
    EXPECT_TRUE(desktop.balloons.empty());
    const FolderSnapshot dataAfter = FolderSnapshot::of(dataDir());
    EXPECT_EQ(dataAfter, data) << data.differences(dataAfter);
    const FolderSnapshot folderAfter = FolderSnapshot::of(project);
    EXPECT_EQ(folderAfter, folder) << folder.differences(folderAfter);
    EXPECT_TRUE(form->Edited);
    EXPECT_EQ(form->LB->currentRow(), 1);
    EXPECT_TRUE(form->LB->currentItem()->isSelected());
    EXPECT_EQ(form->RE->textCursor().anchor(), anchor);
    EXPECT_EQ(form->RE->textCursor().position(), position);
    EXPECT_EQ(checkMarks(), marks);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->HelpMode);

    desktop.shown.clear();
    row.acts(*form, desktop);
    EXPECT_TRUE(desktop.allConsumed());
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, HelpMode, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

using HelpModeOn = HelpMode;

TEST_F(HelpModeOn, MenuShortcutsExplainTooButTheEditorsAreOff)
{
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const auto press = [this](const QKeySequence& keys) {
        QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), keys);
    };
    for (QAction* command : {form->SaveProject1, form->OpenProject, form->NewProject, form->AddItem2, form->DeleteItem2,
                             form->RenameItem1}) {
        SCOPED_TRACE(command->objectName().toStdString());
        desktop.shown.clear();
        desktop.expectInfo();
        press(command->shortcut());
        EXPECT_TRUE(desktop.allConsumed());
    }
    desktop.shown.clear();
    press(form->Print1->shortcut());
    EXPECT_TRUE(desktop.shown.empty());
    EXPECT_TRUE(desktop.printed.empty());
}

using HelpButton = FormFixture;

TEST_F(HelpButton, SwapsItsPictureAndTheEditingControlsOffAndOn)
{
    start();
    const QWidget* editing[] = {form->LB,
                                form->RE,
                                form->FontBox,
                                form->SizeBox,
                                form->Colour,
                                form->SpeedButton10,
                                form->SpeedButton11,
                                form->SpeedButton12,
                                form->SpeedButton13,
                                form->SpeedButton14,
                                form->SpeedButton15,
                                form->SpeedButton16,
                                form->SpeedButton17};
    for (const bool on : {true, false}) {
        form->SpeedButton9->click();
        EXPECT_EQ(form->HelpMode, on);
        EXPECT_EQ(form->SpeedButton9->icon().cacheKey(), Glyph(on ? GlyphId::HelpOn : GlyphId::HelpOff).cacheKey());
        for (const QWidget* w : editing)
            EXPECT_EQ(w->isEnabled(), !on) << w->objectName().toStdString();
    }
}

namespace {

// What help mode leaves alone: each case acts without a help text and leaves help mode on.
class HelpModeLeavesAlone : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("Work.qlyp.dir", {"One", "Two", "Three"});
        other = makeProject("Other.qlyp.dir", {"X"});
        writeFile(dataDir() / "Recent", project.string() + "\r\n" + other.string() + "\r\n");
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Two"});
        start();
        tick();
        form->SpeedButton9->click();
    }
    fs::path project;
    fs::path other;
};

} // namespace

TEST_F(HelpModeLeavesAlone, TheListedControlsAndKeys)
{
    struct Case {
        const char* what;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"Wordwrap",
         [this] {
             form->Wordwrap->trigger();
             EXPECT_FALSE(form->Wordwrap->isChecked());
         }},
        {"About",
         [this] {
             for (QAction* about : {form->About1, form->About2}) {
                 bool shown = false;
                 QTimer::singleShot(0, form->Form2, [&] {
                     shown = form->Form2->isVisible();
                     form->Form2->close();
                 });
                 about->trigger();
                 EXPECT_TRUE(shown);
             }
         }},
        {"tray Open",
         [this] {
             form->hide();
             form->Open1->trigger();
             EXPECT_TRUE(form->isVisible());
         }},
        {"tray double-click",
         [this] {
             form->hide();
             form->TrayIcon1DblClick();
             EXPECT_TRUE(form->isVisible());
         }},
        {"recent list",
         [this] {
             form->OpenRecent->setCurrentRow(1);
             form->OpenRecentClick();
             form->OpenRecentDblClick();
             EXPECT_EQ(form->ProjectPath, other.u16string());
             EXPECT_EQ(entries(), std::vector<std::string>{"X"});
             EXPECT_FALSE(form->LB->isEnabled());
             form->OpenRecent->setCurrentRow(1);
             form->DeleteSelected1Click();
             EXPECT_EQ(form->OpenRecent->count(), 1);
         }},
        {"Ctrl+F2 and Ctrl+F3",
         [this] {
             form->HotkeyPressed(3);
             EXPECT_EQ(selected(), "Three");
             form->HotkeyPressed(2);
             EXPECT_EQ(selected(), "Two");
         }},
        {"Ctrl+F4",
         [this] {
             form->HotkeyPressed(4);
             EXPECT_EQ(desktop.balloons.size(), 1u);
         }},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!first) {
            TearDown();
            desktop.shown.clear();
            desktop.balloons.clear();
            SetUp();
        }
        first = false;
        c.act();
        EXPECT_TRUE(desktop.texts(ScriptedDesktop::Kind::Info).empty());
        EXPECT_TRUE(form->HelpMode);
    }
}

TEST_F(HelpModeOn, EnableFunctionKeyCopyRepaintsTheListAlsoInHelpMode)
{
    QCoreApplication::processEvents();
    const auto paints = std::make_shared<int>(0);
    EventHook::install(form->LB->viewport(), [paints](QEvent* event) {
        *paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    });
    desktop.expectInfo();
    form->EnableFunctionKeyCopy->trigger();
    QCoreApplication::processEvents();
    EXPECT_GT(*paints, 0);
}
