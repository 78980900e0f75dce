#include "platform/GlobalHotkeys.h"
#include "platform/qt/QtDesktop.h"
#include "ui/TForm1.h"

#include <QApplication>

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

} // namespace

int main(int argc, char* argv[])
{
    choosePlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setQuitOnLastWindowClosed(false);

    quillory::QtDesktop desktop;
    quillory::TForm1 form(desktop);
    desktop.setTrayIcon(form.TrayIcon1);
    form.show();
    return QApplication::exec();
}
