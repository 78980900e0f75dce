#include "platform/qt/QtDesktop.h"
#include "platform/qt/SingleInstance.h"
#include "ui/TForm1.h"

#include <QApplication>

#include <filesystem>

namespace {

// The hotkeys are X11 key grabs: in a Wayland session run through XWayland when there is one,
// so they work at least while an X11 window has the focus. An explicit choice is kept.
void preferXcbUnderWayland()
{
    const bool wayland = qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char* argv[])
{
    preferXcbUnderWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setQuitOnLastWindowClosed(false);

    quillory::QtDesktop desktop;
    const std::filesystem::path dataFolder = desktop.documentsFolder() / "Quillory";
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    quillory::SingleInstance instance(dataFolder);
    if (!instance.acquire()) {
        // Another start (the autostart entry and the user, say): the running program shows its
        // window, and this one leaves without touching a file.
        (void)instance.askRunningToShow(5000);
        return 0;
    }

    quillory::TForm1 form(desktop);
    desktop.setTrayIcon(form.TrayIcon1);
    QObject::connect(&instance, &quillory::SingleInstance::showRequested, &form, [&form] { form.AnotherStart(); });
    form.show();
    return QApplication::exec();
}
