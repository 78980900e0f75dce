#include "ui/TForm1.h"

#include "core/settings/Config.h"
#include "core/store/AtomicFile.h"
#include "platform/Desktop.h"
#include "ui/HelpTexts.h"
#include "ui/TForm2.h"

#include <QAction>
#include <QDialog>
#include <QListWidget>

namespace quillory {

void TForm1::FormCloseQuery(bool& CanClose)
{
    if (Autosave->isChecked())
        SaveProject1Click(this);

    enum class Path { Stay, Minimise, Quit };
    Path path = Quitting ? Path::Quit : Path::Minimise;
    const std::u16string word = Quitting ? u"quitting?" : u"minimising?";

    if (Edited) {
        switch (m_desktop.confirm(u"Contents have been changed.\n\nSave before " + word, true)) {
        case Answer::Cancel:
            path = Path::Stay;
            break;
        case Answer::Yes:
            SaveProject1Click(this);
            break;
        case Answer::No:
            break;
        }
    }

    switch (path) {
    case Path::Stay:
        CanClose = false;
        break;
    case Path::Minimise:
        CanClose = false;
        hideToTray();
        Edited = false;
        if (!TrayHintShown || m_desktop.randomBelow(50) == 42) {
            m_desktop.showBalloon(u"Quillory is now minimised to the system tray. To quit the programme use "
                                  u"File|Exit from the main window. - Ctrl-F1 open | Ctrl-F5 to close");
            TrayHintShown = true;
        }
        break;
    case Path::Quit:
        CanClose = true;
        break;
    }

    // A settings file that cannot be written is reported, but never keeps the program from closing.
    writeConfig();
    Quitting = false;
    FixIt(0);
}

void TForm1::writeConfig()
{
    const auto file = dataFile("config");
    if (const std::error_code ec = store::ReplaceFileAtomically(file, settings::WriteConfig(currentConfig())))
        reportFileError(file, ec);
}

void TForm1::hideToTray()
{
    SavedItemIndex = static_cast<std::uint16_t>(LB->currentRow());
    // Without a tray and without Ctrl+F1 a hidden window could never come back.
    if (m_desktop.trayAvailable() || m_hotkeysRegistered) {
        hide();
    } else {
        if (!m_minimiseNoticeShown) {
            m_minimiseNoticeShown = true;
            ShowInfo(u"This desktop has no system tray and Ctrl+F1 is not available, so Quillory is minimised "
                     u"to the task bar instead of hidden.");
        }
        showMinimized();
    }
    if (HelpMode)
        SpeedButton9Click(this);
}

void TForm1::showOnTop()
{
    if (isMinimized())
        showNormal();
    show();
    setStayOnTop(true);
    raise();
    activateWindow();
}

void TForm1::Exit1Click(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kExit))
        return;
    Quitting = true;
    close();
}

void TForm1::SessionEnding()
{
    Quitting = true;
    close();
}

void TForm1::TrayIcon1DblClick()
{
    showOnTop();
}

void TForm1::Open1Click()
{
    if (isMinimized())
        showNormal();
    show();
}

void TForm1::About1Click()
{
    Form2->exec();
}

} // namespace quillory
