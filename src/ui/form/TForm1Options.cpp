#include "ui/form/TForm1.h"

#include "core/settings/AutostartEntry.h"
#include "core/text/TextDecoder.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QListWidget>
#include <QTextEdit>

namespace quillory {

namespace fs = std::filesystem;

void TForm1::AutosaveClick(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kAutosave))
        flipBack(Autosave);
}

void TForm1::SSTClick(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kStartInTray))
        flipBack(SST);
}

void TForm1::SOTClick(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kStayOnTop))
        flipBack(SOT);
}

void TForm1::MinimiseafterCopyClick(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kMinimiseAfterCopy))
        flipBack(MinimiseafterCopy);
}

void TForm1::EnableFunctionKeyCopyClick(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kFunctionKeyCopy))
        flipBack(EnableFunctionKeyCopy);
    LB->viewport()->update();
}

void TForm1::StartwithWindows1Click(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kStartWithWindows)) {
        flipBack(StartwithWindows1);
        return;
    }
    const fs::path folder(GetSpecialFolderPath(kStartupFolder, false));
    const bool wanted = StartwithWindows1->isChecked();
    const std::error_code ec = wanted ? settings::WriteAutostartEntry(folder, m_desktop.programPath())
                                      : settings::RemoveAutostartEntry(folder);
    if (ec) {
        // The check mark shows the truth rather than what was asked for.
        StartwithWindows1->setChecked(fs::exists(folder / "Quillory.desktop"));
        const std::u16string problem = wanted ? settings::AutostartPathProblem(m_desktop.programPath()) : u"";
        if (!problem.empty())
            m_desktop.showError(u"Quillory cannot be started with the desktop from where it is now:\n\n" +
                                DecodePlainText(m_desktop.programPath().native()) + u"\n\n" + problem);
        else
            reportFileError(folder / "Quillory.desktop", ec);
    }
}

void TForm1::Splitter1Moved()
{
    m_layout.panel2Width = Panel2->width();
    LB->viewport()->update();
    RE->viewport()->update();
    OpenRecent->viewport()->update();
}

void TForm1::Splitter2Moved()
{
    m_layout.recentHeight = OpenRecent->height();
    LB->viewport()->update();
    OpenRecent->viewport()->update();
}

} // namespace quillory
