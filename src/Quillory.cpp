#include "platform/qt/QtDesktop.h"
#include "ui/TForm1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillory"));
    QApplication::setQuitOnLastWindowClosed(false);

    quillory::QtDesktop desktop;
    quillory::TForm1 form(desktop);
    form.show();
    return QApplication::exec();
}
