#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>

class QLocalServer;

namespace quillory {

// One running program per data folder: two would refill one working buffer under each other.
// The first start holds a lock in the folder and listens on a socket of the user's own; a later
// start finds the lock and asks the running program to show its window instead.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const std::filesystem::path& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the folder's program: the lock is taken (a stale lock of a
    // process that no longer runs is taken over) and later starts are listened for. False when
    // another program holds it; nothing has been written then.
    [[nodiscard]] bool acquire();
    // For a later start: asks the running program to show its window; false when it did not
    // answer within `timeoutMs`.
    [[nodiscard]] bool askRunningToShow(int timeoutMs) const;

signals:
    // A later start asked for the window.
    void showRequested();

private:
    void onConnection();

    QLockFile m_lock;
    QString m_socket;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace quillory
