#include "platform/qt/SingleInstance.h"

#include "platform/QtText.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillory {

namespace {

// A request is one short line; a longer one is not ours.
constexpr qint64 kMaxLine = 1024;

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

bool SingleInstance::askRunning(const HotkeyRequest& request, int timeoutMs) const
{
    const QByteArray line = QByteArray::fromStdString(EncodeHotkeyRequest(request));
    const QDeadlineTimer deadline(timeoutMs);
    // The running program may have taken the lock and not be listening yet.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socket);
        if (socket.waitForConnected(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 500)))) {
            socket.write(line);
            socket.flush();
            // The running program hangs up once it has read the request.
            return socket.state() == QLocalSocket::UnconnectedState ||
                   socket.waitForDisconnected(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
        }
        QThread::msleep(50);
    }
    return false;
}

bool SingleInstance::tell(const std::filesystem::path& dataFolder, const HotkeyRequest& request, int timeoutMs)
{
    const QByteArray path = QFile::encodeName(socketPath(pathToQ(dataFolder)));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    // A listening program accepts at once; nobody listening refuses at once.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    const std::string line = EncodeHotkeyRequest(request);
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size()))
        return false;
    // The program hangs up once it has read the request.
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        pollfd wait{fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char byte = 0;
        const ssize_t got = ::recv(fd, &byte, 1, 0);
        if (got == 0)
            return true;
        if (got < 0 && errno != EINTR)
            return false;
    }
}

void SingleInstance::onConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // Whatever sends more than a request without a line feed is not a start of ours.
                if (socket->bytesAvailable() > kMaxLine)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kMaxLine).trimmed();
            socket->disconnectFromServer();
            if (const auto request = DecodeHotkeyRequest(std::string_view(line.constData(), line.size())))
                emit hotkeyRequested(request->id, QString::fromStdString(request->activationToken));
        });
    }
}

} // namespace quillory
