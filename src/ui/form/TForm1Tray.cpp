#include "ui/form/TForm1.h"

#include "core/settings/Config.h"
#include "core/store/AtomicFile.h"
#include "platform/Desktop.h"
#include "ui/form/HelpTexts.h"
#include "ui/about/TForm2.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QListWidget>
#include <QSessionManager>

namespace quillory {

namespace {

constexpr std::u16string_view kMinimisedBalloon =
    u"Quillory is now minimised to the system tray. To quit the programme use File|Exit from the main window. - "
    u"Ctrl-F1 open | Ctrl-F5 to close";

} // namespace

bool TForm1::saveBeforeLeaving(const std::u16string& question)
{
    // A failed Autosave has been reported and leaves `Edited` set, so the question follows and
    // the user may still leave without saving.
    if (Autosave->isChecked())
        (void)saveProject();
    if (!Edited)
        return true;
    switch (m_desktop.confirm(question, true)) {
    case Answer::Cancel:
        return false;
    case Answer::Yes:
        return saveProject();
    case Answer::No:
        return true;
    }
    return true;
}

void TForm1::FormCloseQuery(bool& CanClose)
{
    enum class Path { Stay, Minimise, Quit };
    Path path = Quitting() ? Path::Quit : Path::Minimise;
    const std::u16string word = Quitting() ? u"quitting?" : u"minimising?";
    if (!saveBeforeLeaving(u"Contents have been changed.\n\nSave before " + word))
        path = Path::Stay;

    switch (path) {
    case Path::Stay:
        CanClose = false;
        break;
    case Path::Minimise:
        CanClose = false;
        hideToTray();
        Edited = false;
        if (!TrayHintShown || m_desktop.randomBelow(50) == 42) {
            // Only a balloon that was really shown counts; without a tray the window may not even
            // be hidden, so the text is said once per run, and only where it is true.
            if (m_desktop.trayAvailable()) {
                m_desktop.showBalloon(std::u16string(kMinimisedBalloon));
                TrayHintShown = true;
            } else if (m_hotkeys.showKeyBound()) {
                notice(std::u16string(kMinimisedBalloon));
            }
        }
        break;
    case Path::Quit:
        CanClose = true;
        break;
    }

    // A settings file that cannot be written is reported, but never keeps the program from closing.
    writeConfig();
    if (m_quit == QuitState::ExitChosen)
        m_quit = QuitState::Running;
    FixIt(kStampAndRebuild);
}

void TForm1::writeConfig()
{
    const auto file = store::ThroughLinks(dataFile("config"));
    if (const std::error_code ec = store::ReplaceFileAtomically(file, settings::WriteConfig(currentConfig())))
        reportFileError(file, ec);
}

void TForm1::hideWindow()
{
    // Without a tray and without Ctrl+F1 a hidden window could never come back.
    if (m_desktop.trayAvailable() || m_hotkeys.showKeyBound()) {
        hide();
        return;
    }
    showMinimized();
    if (!m_said.minimiseNotice) {
        m_said.minimiseNotice = true;
        ShowInfo(u"This desktop has no system tray and Ctrl+F1 is not available, so Quillory is minimised "
                 u"to the task bar instead of hidden.");
    }
}

void TForm1::hideToTray()
{
    SavedItemIndex = static_cast<std::uint16_t>(LB->currentRow());
    hideWindow();
    if (HelpMode)
        SpeedButton9Click(this);
}

void TForm1::notice(const std::u16string& text)
{
    if (m_desktop.trayAvailable()) {
        m_desktop.showBalloon(text);
        return;
    }
    for (const std::u16string& said : m_said.notices)
        if (said == text)
            return;
    m_said.notices.push_back(text);
    ShowInfo(text);
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
    m_quit = QuitState::ExitChosen;
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    if (m_quit == QuitState::ApplicationQuitting || m_quit == QuitState::SettingsKept) {
        // The session manager's Die, or the application quitting: what could be asked was asked
        // when the session saved; only the settings are kept.
        if (m_quit == QuitState::ApplicationQuitting) {
            m_quit = QuitState::SettingsKept;
            guarded([this] { writeConfig(); });
        }
    } else {
        guarded([this, &canClose] { FormCloseQuery(canClose); });
    }
    if (canClose) {
        event->accept();
        QCoreApplication::quit();
    } else {
        event->ignore();
    }
}

void TForm1::commitData(QSessionManager& manager)
{
    // The session saves: at a log-out, and at a checkpoint, which ends nothing. The program never
    // quits here; if the session ends, the session manager's Die quits it, and nothing is asked then.
    if (Autosave->isChecked())
        (void)saveProject();
    // Asked only while the session manager grants it; the interaction ends with the save, which
    // passes a cancel on to it.
    if (Edited && manager.allowsInteraction()) {
        const Answer answer = m_desktop.confirm(u"Contents have been changed.\n\nSave before quitting?", true);
        if (answer == Answer::Cancel || (answer == Answer::Yes && !saveProject()))
            manager.cancel();
    }
    writeConfig();
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
