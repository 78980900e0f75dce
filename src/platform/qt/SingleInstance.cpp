#include "platform/qt/SingleInstance.h"

#include "platform/QtText.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

#include <unistd.h>

namespace quillory {

namespace {

constexpr char kShow[] = "show\n";

// A socket in the user's runtime folder (mode 0700), named after the data folder; without one, in
// the temporary folder under the user's id, reachable by the user alone.
QString socketPath(const QString& dataFolder)
{
    const QByteArray hash = QCryptographicHash::hash(dataFolder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(
        QStringLiteral("quillory-%1-%2.socket").arg(::getuid()).arg(QString::fromLatin1(hash)));
}

} // namespace

SingleInstance::SingleInstance(const std::filesystem::path& dataFolder, QObject* parent)
    : QObject(parent), m_lock(pathToQ(dataFolder / ".quillory.lock")), m_socket(socketPath(pathToQ(dataFolder)))
{
    // Held for the life of the program; a lock whose process is gone is stale whatever its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    if (!m_lock.tryLock(0)) {
        // A lock of a process that no longer runs, whose number another process now has.
        if (m_lock.error() != QLockFile::LockFailedError || !m_lock.removeStaleLockFile() || !m_lock.tryLock(0))
            return false;
    }
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a program that was killed: ours to replace, since we hold the lock.
    QLocalServer::removeServer(m_socket);
    if (m_server->listen(m_socket))
        connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    // Without the socket a later start cannot reach us, but still finds the lock and leaves.
    return true;
}

bool SingleInstance::askRunningToShow(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    // The running program may have taken the lock and not be listening yet.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socket);
        if (socket.waitForConnected(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 500)))) {
            socket.write(kShow);
            socket.flush();
            // The running program hangs up once it has read the request.
            return socket.state() == QLocalSocket::UnconnectedState ||
                   socket.waitForDisconnected(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::onConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const bool show = socket->readLine() == kShow;
            socket->disconnectFromServer();
            if (show)
                emit showRequested();
        });
    }
}

} // namespace quillory
