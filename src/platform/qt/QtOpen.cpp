#include "platform/qt/QtDesktop.h"

#include "platform/QtText.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace quillory {

using links::ShellResult;

namespace {

bool isWebTarget(const QString& target)
{
    return target.startsWith(QLatin1String("www.")) || target.startsWith(QLatin1String("http://")) ||
           target.startsWith(QLatin1String("https://"));
}

} // namespace

ShellResult QtDesktop::openAddress(const std::u16string& address)
{
    QString text = toQ(address);
    // The opener goes by the scheme, which a page's "www." address leaves out.
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        text.prepend(QLatin1String("http://"));
    const QUrl url(text, QUrl::TolerantMode);
    const bool mail = url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0;
    if (!url.isValid() || (mail ? url.path().isEmpty() : url.host().isEmpty()))
        return ShellResult::FileNotFound;
    // Qt hands the encoded address to xdg-open as a single argument; no shell sees it.
    return QDesktopServices::openUrl(url) ? ShellResult::Ok : ShellResult::NoAssociation;
}

ShellResult QtDesktop::shellOpen(const std::u16string& file, const std::u16string& parameters,
                                 const std::u16string& folder)
{
    const QString target = toQ(file);
    if (isWebTarget(target))
        return openAddress(file);
    const QFileInfo info(target);
    if (!info.exists())
        return QFileInfo(info.absolutePath()).isDir() ? ShellResult::FileNotFound : ShellResult::PathNotFound;
    if (parameters.empty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? ShellResult::Ok
                                                                                       : ShellResult::NoAssociation;
    if (info.isDir() || !info.isExecutable())
        return ShellResult::AccessDenied;
    QProcess program;
    program.setProgram(info.absoluteFilePath());
    program.setArguments(QProcess::splitCommand(toQ(parameters)));
    if (!folder.empty())
        program.setWorkingDirectory(toQ(folder));
    return program.startDetached() ? ShellResult::Ok : ShellResult::BadProgram;
}

void QtDesktop::showInFileManager(const std::filesystem::path& file)
{
    const QFileInfo info(pathToQ(file));
    const QUrl folder = QUrl::fromLocalFile(info.absolutePath());
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()} << QString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QDesktopServices::openUrl(folder);
        return;
    }
    // Asynchronous: a file manager that is slow to start must not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [folder](QDBusPendingCallWatcher* done) {
        if (done->isError())
            QDesktopServices::openUrl(folder);
        done->deleteLater();
    });
}

} // namespace quillory
