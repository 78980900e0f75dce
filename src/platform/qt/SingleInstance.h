#pragma once

#include "core/text/HotkeyCommands.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>

class QLocalServer;

namespace quillory {

// One running program per data folder: two would refill one working buffer under each other.
// The first start holds a lock in the folder and listens on a socket of the user's own; a later
// start finds the lock and asks the running program to show its window instead, and a hotkey
// command (`quillory --copy`) asks it to act as the key would.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const std::filesystem::path& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the folder's program: the lock is taken (a stale lock of a
    // process that no longer runs is taken over) and later starts are listened for. False when
    // another program holds it; nothing has been written then.
    [[nodiscard]] bool acquire();
    // For a later start: hands `request` to the running program; false when it did not take it
    // within `timeoutMs` (it may still be starting).
    [[nodiscard]] bool askRunning(const HotkeyRequest& request, int timeoutMs) const;

    // The same without Qt's application object and without waiting for a program that is not
    // listening yet: a command's quick way in. False when no program took the request.
    [[nodiscard]] static bool tell(const std::filesystem::path& dataFolder, const HotkeyRequest& request,
                                   int timeoutMs);

    // The socket later starts reach this program by.
    [[nodiscard]] QString serverName() const { return m_socket; }

signals:
    // A later start or a command asked for hotkey `id`, with the desktop's activation token of
    // that start (empty where the desktop gave none).
    void hotkeyRequested(int id, const QString& activationToken);

private:
    void onConnection();

    QLockFile m_lock;
    QString m_socket;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace quillory
