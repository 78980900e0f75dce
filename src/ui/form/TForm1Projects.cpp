#include "ui/form/TForm1.h"

#include "ui/form/PageSession.h"

#include "core/StuffUnit.h"
#include "core/rtf/Rtf.h"
#include "core/settings/RecentFile.h"
#include "core/store/AtomicFile.h"
#include "core/store/Project.h"
#include "core/store/ProjectStore.h"
#include "core/store/ProjectNaming.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/form/HelpTexts.h"
#include "ui/editor/RichEdit.h"
#include "ui/form/ScopedFlag.h"

#include <QAction>
#include <QListWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace quillory {

namespace fs = std::filesystem;

void TForm1::SaveProject1Click(QObject* Sender)
{
    if (helpBranch(Sender, {SpeedButton1, SaveProject1}, help::kSaveProject + ProjectPath))
        return;
    (void)saveProject();
}

bool TForm1::saveProject()
{
    if (const std::error_code ec = writeShownPage()) {
        reportFileError(bufferFile(CurrentItem), ec);
        return false;
    }
    FixIt(kStampAndRebuild);
    // Every file that did not arrive is named; the project stays marked as edited, so nothing is
    // reported as saved that was not.
    const store::SyncReport report = syncProject();
    if (!report.failures.empty()) {
        reportFailures(fs::path(ProjectPath), report.failures);
        return false;
    }
    Edited = false;
    return true;
}

bool TForm1::saveBeforeReplacing(bool autosave)
{
    if (!Edited)
        return true;
    // A failed Autosave has been reported; asking leaves the user the choice of going on without.
    if (autosave && saveProject())
        return true;
    switch (m_desktop.confirm(u"Contents have been changed.\n\nSave now? ", true)) {
    case Answer::Cancel:
        return false;
    case Answer::Yes:
        return saveProject();
    case Answer::No:
        return true;
    }
    return true;
}

void TForm1::SaveProjectAs1Click(QObject* Sender)
{
    enum class Command { New, Open, Relocate };
    const Command command = Sender == NewProject                                ? Command::New
                            : (Sender == OpenProject || Sender == SpeedButton2) ? Command::Open
                                                                                : Command::Relocate;
    if (helpBranch(Sender, {SpeedButton2, OpenProject}, help::kOpenProject) ||
        helpBranch(Sender, {SaveProjectAs1}, help::kRelocateProject) ||
        helpBranch(Sender, {NewProject}, help::kNewProject))
        return;

    const fs::path start(PathBeforeSlash(ProjectPath));
    if (command != Command::Relocate && !saveBeforeReplacing(Autosave->isChecked()))
        return;

    static constexpr std::u16string_view kNewTitle =
        u"New Project: First select directory to store this project in. This is not the name of your project "
        u"itself, but the folder to put it in. You will be asked for a project name next which, not "
        u"unsurprisingly will be stored in the directory you select here :)";
    static constexpr std::u16string_view kOpenTitle =
        u"Open Project: Select a .qlyp.dir folder.\n\nFor example, mystuff.qlyp.dir";
    static constexpr std::u16string_view kRelocateTitle =
        u"Relocate Project: First select directory to relocate this project to. This is not the name of your "
        u"project itself, but the folder to put it in. You will be asked for a project name next which, not "
        u"unsurprisingly will be stored in the directory you select here :)";
    const std::u16string_view title = command == Command::New    ? kNewTitle
                                      : command == Command::Open ? kOpenTitle
                                                                 : kRelocateTitle;
    const auto chosen = m_desktop.browseForFolder(std::u16string(title), start);
    if (!chosen)
        return;
    const std::u16string folder = chosen->u16string();
    if (const auto problem = store::ProjectPathProblem(folder)) {
        ShowInfo(*problem);
        return;
    }

    if (command == Command::Open) {
        if (!store::IsProjectPath(folder)) {
            ShowInfo(u"Not a Quillory Project Folder.");
            return;
        }
        openProjectFolder(folder);
        Edited = false;
        return;
    }

    const std::u16string name =
        PromptForText(u"Project Name.", u"Give this project a title.", NameAfterSlash(ProjectPath));
    if (name == kPromptCancelled || name.empty())
        return;
    if (const auto refusal = store::ProjectNameProblem(name)) {
        ShowInfo(*refusal);
        return;
    }
    const fs::path target = *chosen / fs::path(store::CompleteProjectName(name));
    std::error_code ec;
    if (fs::exists(target, ec)) {
        ShowInfo(target.u16string() + u"\n\nAlready exists.");
        return;
    }
    if (!fs::create_directory(target, ec)) {
        reportFileError(target, ec ? ec : std::make_error_code(std::errc::io_error));
        return;
    }
    if (command == Command::New ? startEmptyWibble(target) : relocateTo(target)) {
        ProjectPath = target.u16string();
        projectOpened(false);
        Edited = false;
    } else {
        // Made by this command a moment ago and holding only its copies: nothing of the user's.
        fs::remove_all(target, ec);
    }
}

bool TForm1::relocateTo(const fs::path& target)
{
    if (const std::error_code ec = writeShownPage()) {
        reportFileError(bufferFile(CurrentItem), ec);
        return false;
    }
    FixIt(kStampAndRebuild);
    // The project moves only once every file has arrived; until then the old one stays open.
    const std::vector<store::FileFailure> failures = store::CopyBufferToProject(bufferDir(), target);
    if (!failures.empty()) {
        reportFailures(target, failures);
        return false;
    }
    return true;
}

void TForm1::openRememberedProject()
{
    std::error_code ec;
    if (ProjectPath.empty() || !fs::is_directory(fs::path(ProjectPath), ec)) {
        if (!ProjectPath.empty())
            LBHint = ProjectPath;
        CreateDefaultProject();
    }
    store::LoadResult loaded = store::RefillBuffer(fs::path(ProjectPath), bufferDir());
    if (loaded.names.empty()) {
        LBHint = ProjectPath;
        CreateDefaultProject();
        loaded = store::LoadProjectIntoBuffer(fs::path(ProjectPath), bufferDir());
    }
    // A file that did not reach the buffer is no entry: its page is not there to show or save.
    std::erase_if(loaded.names, [&](const std::u16string& name) {
        return std::any_of(loaded.failures.begin(), loaded.failures.end(),
                           [&](const store::FileFailure& f) { return f.name == name; });
    });
    setListEntries(loaded.names);
    reportFailures(fs::path(ProjectPath), loaded.failures);

    // The remembered item, else the first that loads. An item becomes current only with its page
    // in the editor, so nothing is ever written under a name whose page was not loaded.
    std::vector<store::FileFailure> unreadable;
    showFirstLoadable(CurrentItem, bufferDir(), unreadable);
    reportFailures(bufferDir(), unreadable);
    projectOpened(false);
}

void TForm1::openProjectFolder(const std::u16string& folder)
{
    ClearBuffer();
    store::LoadResult loaded = store::LoadProjectIntoBuffer(fs::path(folder), bufferDir());
    // A file that did not reach the buffer is no entry: its page is not there to show or save.
    std::erase_if(loaded.names, [&](const std::u16string& name) {
        return std::any_of(loaded.failures.begin(), loaded.failures.end(),
                           [&](const store::FileFailure& f) { return f.name == name; });
    });
    // The whole state moves to the new project before any box can open: a hotkey, a reminder or
    // the tray acting under the box must find the project, its buffer and its page together.
    setListEntries(loaded.names);
    ProjectPath = folder;
    // The page shown belonged to the project just closed: it must never be written into this one.
    m_page->forget();
    std::vector<store::FileFailure> unreadable;
    if (LB->count() > 0)
        showFirstLoadable(fromQ(LB->item(0)->text()), fs::path(folder), unreadable);
    else if (!startEmptyWibble(fs::path(folder)))
        // A folder with no items gets one empty item, so the list is never empty; where even that
        // cannot be written there is no page to show.
        showNoPage();
    Reload1Click();
    projectOpened(false);
    reportFailures(fs::path(folder), loaded.failures);
    reportFailures(fs::path(folder), unreadable);
}

bool TForm1::startEmptyWibble(const fs::path& projectFolder)
{
    // The project folder's page is written first: when that fails, the open project, its buffer
    // and the page shown are all as they were.
    QTextDocument empty;
    empty.setDefaultFont(RE->document()->defaultFont());
    const std::string page = rtf::WriteRtf(richedit::toModel(empty));
    const fs::path projectPage = projectFolder / "Wibble";
    if (const std::error_code ec = store::ReplaceFileAtomically(projectPage, page, store::Flush::ToDisk)) {
        reportFileError(projectPage, ec);
        return false;
    }
    ClearBuffer();
    if (const std::error_code ec = store::ReplaceFileAtomically(bufferFile(u"Wibble"), page, store::Flush::Skip))
        reportFileError(bufferFile(u"Wibble"), ec); // written again from the editor at the next switch
    m_page->showEmpty();
    CurrentItem = u"Wibble";
    setListEntries({CurrentItem}); // left unselected
    return true;
}

void TForm1::OpenRecentClick()
{
    OpenRecent->viewport()->update();
}

void TForm1::OpenRecentDblClick()
{
    if (!saveBeforeReplacing(false))
        return;
    const QListWidgetItem* selected = OpenRecent->currentItem();
    if (!selected)
        return;
    const std::u16string path = fromQ(selected->text());
    std::error_code ec;
    if (!fs::is_directory(fs::path(path), ec)) {
        ShowInfo(path + u"\n\nDoes not exist.");
        return;
    }
    openProjectFolder(path);
    delete OpenRecent->takeItem(OpenRecent->row(selected));
    OpenRecent->insertItem(0, toQ(path));
    OpenRecent->setCurrentRow(0);
    writeRecent();
    Edited = false;
}

void TForm1::DeleteSelected1Click()
{
    QListWidgetItem* selected = OpenRecent->currentItem();
    if (!selected || !selected->isSelected())
        return;
    delete OpenRecent->takeItem(OpenRecent->row(selected));
    OpenRecent->viewport()->update();
    writeRecent();
}

bool TForm1::writeRecent()
{
    std::vector<std::u16string> entries;
    entries.reserve(static_cast<std::size_t>(OpenRecent->count()));
    for (int i = 0; i < OpenRecent->count(); ++i)
        entries.push_back(fromQ(OpenRecent->item(i)->text()));
    const fs::path file = store::ThroughLinks(dataFile("Recent"));
    if (const std::error_code ec = store::ReplaceFileAtomically(file, settings::WriteRecent(entries))) {
        // Reported once; the list in memory keeps its change.
        if (!m_said.recentWriteFailed)
            reportFileError(file, ec);
        m_said.recentWriteFailed = true;
        return false;
    }
    m_said.recentWriteFailed = false;
    return true;
}

} // namespace quillory
