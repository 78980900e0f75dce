#include "ui/TForm1.h"

#include "core/StuffUnit.h"
#include "core/settings/RecentFile.h"
#include "core/store/AtomicFile.h"
#include "core/store/ProjectStore.h"
#include "core/store/ProjectNaming.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/HelpTexts.h"

#include <QAction>
#include <QListWidget>
#include <QTextEdit>
#include <QToolButton>

namespace quillory {

namespace fs = std::filesystem;

void TForm1::SaveProject1Click(QObject* Sender)
{
    if (helpBranch(Sender, {SpeedButton1, SaveProject1}, help::kSaveProject + ProjectPath))
        return;
    if (const std::error_code ec = writePage(bufferFile(CurrentItem), store::Flush::Skip)) {
        reportFileError(bufferFile(CurrentItem), ec);
        return;
    }
    FixIt(0);
    // A copy that fails leaves the project marked as edited: nothing is reported as saved that was not.
    if (const auto failure = store::CopyBufferToProject(bufferDir(), fs::path(ProjectPath))) {
        reportFileError(fs::path(ProjectPath) / fs::path(failure->name), failure->error);
        return;
    }
    Edited = false;
}

bool TForm1::askToSave()
{
    switch (m_desktop.confirm(u"Contents have been changed.\n\nSave now? ", true)) {
    case Answer::Cancel:
        return false;
    case Answer::Yes:
        SaveProject1Click(this);
        return true;
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
    if (command != Command::Relocate && Edited) {
        if (Autosave->isChecked())
            SaveProject1Click(this);
        else if (!askToSave())
            return;
    }

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
    if (name == u"-1" || name.empty())
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
    ProjectPath = target.u16string();

    if (command == Command::New) {
        ClearBuffer();
        startEmptyWibble(target);
        setListEntries({CurrentItem}); // left unselected
    } else {
        if (const std::error_code writeError = writePage(bufferFile(CurrentItem), store::Flush::Skip)) {
            reportFileError(bufferFile(CurrentItem), writeError);
            return;
        }
        FixIt(0);
        if (const auto failure = store::CopyBufferToProject(bufferDir(), target)) {
            reportFileError(target / fs::path(failure->name), failure->error);
            return;
        }
    }
    Edited = false;
}

void TForm1::openProjectFolder(const std::u16string& folder)
{
    ClearBuffer();
    LoadProjectIntoBuffer(folder);
    ProjectPath = folder;
    if (LB->count() > 0) {
        selectEntry(fromQ(LB->item(0)->text()));
        CurrentItem = fromQ(LB->item(0)->text());
        if (const std::error_code ec = loadPage(fs::path(folder) / fs::path(CurrentItem)))
            reportFileError(fs::path(folder) / fs::path(CurrentItem), ec);
    } else {
        // A folder with no items gets one empty item, so the list is never empty.
        startEmptyWibble(fs::path(folder));
        setListEntries({CurrentItem});
    }
    Reload1Click();
}

void TForm1::startEmptyWibble(const fs::path& projectFolder)
{
    m_loadingPage = true;
    RE->clear();
    m_loadingPage = false;
    CurrentItem = u"Wibble";
    if (const std::error_code ec = writePage(projectFolder / "Wibble", store::Flush::ToDisk))
        reportFileError(projectFolder / "Wibble", ec);
    if (const std::error_code ec = writePage(bufferFile(CurrentItem), store::Flush::Skip))
        reportFileError(bufferFile(CurrentItem), ec);
}

void TForm1::OpenRecentClick()
{
    OpenRecent->viewport()->update();
}

void TForm1::OpenRecentDblClick()
{
    if (Edited && !askToSave())
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
    const fs::path file = dataFile("Recent");
    if (const std::error_code ec = store::ReplaceFileAtomically(file, settings::WriteRecent(entries))) {
        // Reported once; the list in memory keeps its change.
        if (!m_recentWriteFailed)
            reportFileError(file, ec);
        m_recentWriteFailed = true;
        return false;
    }
    m_recentWriteFailed = false;
    return true;
}

} // namespace quillory
