#include "platform/qt/SingleInstance.h"

#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>

#include <gtest/gtest.h>

#include <future>

namespace quillory {
namespace {

using test::TempDir;

struct Heard {
    int id = 0;
    QString token;
};

// Runs `send` off the event loop, which the running program's side needs for answering, and
// returns what it gave.
template <typename Send> auto whileListening(Send send)
{
    auto result = std::async(std::launch::async, send);
    const QDeadlineTimer deadline(10000);
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return result.get();
}

TEST(SingleInstance, ACommandReachesTheRunningProgramWithItsToken)
{
    const TempDir folder;
    SingleInstance running(folder.path());
    ASSERT_TRUE(running.acquire());
    std::vector<Heard> heard;
    QObject::connect(&running, &SingleInstance::hotkeyRequested, [&](int id, const QString& token) {
        heard.push_back({id, token});
    });

    EXPECT_TRUE(whileListening([&] { return SingleInstance::tell(folder.path(), {4, "token-123"}, 5000); }));
    EXPECT_TRUE(whileListening([&] { return SingleInstance::tell(folder.path(), {2, ""}, 5000); }));
    // A second start of the program: it asks for the window through the lock it cannot take.
    SingleInstance later(folder.path());
    EXPECT_FALSE(later.acquire());
    EXPECT_TRUE(whileListening([&] { return later.askRunning({1, "from-start"}, 5000); }));

    ASSERT_EQ(heard.size(), 3U);
    EXPECT_EQ(heard[0].id, 4);
    EXPECT_EQ(heard[0].token, QStringLiteral("token-123"));
    EXPECT_EQ(heard[1].id, 2);
    EXPECT_TRUE(heard[1].token.isEmpty());
    EXPECT_EQ(heard[2].id, 1);
    EXPECT_EQ(heard[2].token, QStringLiteral("from-start"));
}

TEST(SingleInstance, WithNobodyListeningACommandIsNotTaken)
{
    const TempDir folder;
    EXPECT_FALSE(SingleInstance::tell(folder.path(), {4, ""}, 5000));
    {
        SingleInstance ended(folder.path());
        ASSERT_TRUE(ended.acquire());
    }
    EXPECT_FALSE(SingleInstance::tell(folder.path(), {4, ""}, 5000));
}

TEST(SingleInstance, AnythingButARequestIsDropped)
{
    const TempDir folder;
    SingleInstance running(folder.path());
    ASSERT_TRUE(running.acquire());
    int heard = 0;
    QObject::connect(&running, &SingleInstance::hotkeyRequested, [&](int, const QString&) { ++heard; });
    // What a stranger might write: another program's words, a request for no hotkey, endless bytes.
    for (const QByteArray& bytes :
         {QByteArray("quit\n"), QByteArray("hotkey 9\n"), QByteArray("hotkey 4 a b\n"), QByteArray(4096, 'x')}) {
        const bool hungUp = whileListening([&] {
            QLocalSocket socket;
            socket.connectToServer(running.serverName());
            if (!socket.waitForConnected(5000))
                return false;
            socket.write(bytes);
            socket.flush();
            return socket.waitForDisconnected(5000);
        });
        EXPECT_TRUE(hungUp) << bytes.left(20).toStdString();
    }
    EXPECT_EQ(heard, 0);
}

} // namespace
} // namespace quillory
