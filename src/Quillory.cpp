#include "core/settings/AppId.h"
#include "core/text/HotkeyCommands.h"
#include "platform/GlobalHotkeys.h"
#include "platform/QtText.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/SingleInstance.h"
#include "ui/access/FocusFrameStyle.h"
#include "ui/form/TForm1.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {

// The hotkeys decide how the program meets a Wayland session (see GlobalHotkeys). An explicit
// choice is kept.
void choosePlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const std::string platform = quillory::GlobalHotkeys::preferredPlatform();
    if (!platform.empty())
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
}

// The token a desktop gives a program it launches, so that program may take the focus: the
// Wayland activation token, or the X11 start-up id.
std::string activationToken()
{
    for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray token = qgetenv(name);
        // Left set: where this process becomes the program, Qt activates its first window with it.
        if (!token.isEmpty())
            return token.toStdString();
    }
    return {};
}

// `--show` .. `--hide`: the hotkeys as commands, for desktops that bind keys to commands. Every
// other argument is Qt's.
std::optional<int> hotkeyCommand(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (const auto id = quillory::HotkeyForOption(argv[i]))
            return id;
    return std::nullopt;
}

void printUsage()
{
    std::puts("Usage: quillory [--show | --previous | --next | --copy | --hide]\n\n"
              "Without an option, starts Quillory (or shows the window of the one running).\n"
              "Each option does in the running Quillory what its hotkey does, starting it first\n"
              "when it is not running; bind them to keys where the desktop passes no hotkeys:\n"
              "  --show      Ctrl+F1, show the window with the remembered item\n"
              "  --previous  Ctrl+F2, move up the item list\n"
              "  --next      Ctrl+F3, move down the item list\n"
              "  --copy      Ctrl+F4, copy the page shown to the clipboard\n"
              "  --hide      Ctrl+F5, hide the window to the tray");
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0) {
            printUsage();
            return 0;
        }
    const std::optional<int> command = hotkeyCommand(argc, argv);
    // A second start without an option shows the window, as Ctrl+F1 does.
    const quillory::HotkeyRequest request{command.value_or(1), activationToken()};
    const std::filesystem::path dataFolder =
        quillory::pathFromQ(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)) / "Quillory";
    // A command for a running program returns as soon as the program has the request, before
    // anything of the window system is set up here.
    if (command && quillory::SingleInstance::tell(dataFolder, request, 5000))
        return 0;

    choosePlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    // The launcher's name: the Wayland app id, so the desktop shows the launcher's icon and name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(quillory::settings::kAppId));
    // The desktop's style, with a focus mark a keyboard user can see.
    QApplication::setStyle(new quillory::FocusFrameStyle);
    QApplication::setQuitOnLastWindowClosed(false);

    quillory::QtDesktop desktop;
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    quillory::SingleInstance instance(dataFolder);
    if (!instance.acquire()) {
        // Another start (the autostart entry and the user, say), or a command while the running
        // program is still starting: that program acts, and this one leaves without touching a file.
        (void)instance.askRunning(request, 5000);
        return 0;
    }

    quillory::TForm1 form(desktop);
    desktop.setTrayIcon(form.TrayIcon1);
    QObject::connect(&instance, &quillory::SingleInstance::hotkeyRequested, &form,
                     [&desktop](int id, const QString& token) { desktop.pressHotkey(id, token); });
    form.show();
    // The program started for a command: the command acts once start-up is done (the show one
    // too, over a start in the tray).
    if (command)
        form.WhenStarted(
            [&desktop, request] { desktop.pressHotkey(request.id, QString::fromStdString(request.activationToken)); });
    return QApplication::exec();
}
