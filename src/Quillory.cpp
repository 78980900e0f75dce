#include "platform/GlobalHotkeys.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/SingleInstance.h"
#include "ui/TForm1.h"

#include <QApplication>

#include <filesystem>

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
