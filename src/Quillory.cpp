#include "platform/qt/QtDesktop.h"
#include "ui/TForm1.h"

#include <QApplication>

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
    quillory::TForm1 form(desktop);
    desktop.setTrayIcon(form.TrayIcon1);
    form.show();
    return QApplication::exec();
}
