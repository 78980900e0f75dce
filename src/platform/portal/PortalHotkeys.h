#pragma once

#include "platform/GlobalHotkeys.h"

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <array>
#include <functional>
#include <vector>

class QDBusMessage;

namespace quillory {

namespace portal {
struct Shortcut;
}

// The five hotkeys through the desktop's GlobalShortcuts portal (xdg-desktop-portal), for sessions
// where the program cannot grab keys itself (Wayland). Binding is asynchronous: the desktop may
// ask the user first, bind other keys than those asked for, or none, and change them later; every
// such answer reaches `changed`. An activation reaches `pressed` with its id (1..5) through the
// event loop. Lives on the user-interface thread.
class PortalHotkeys final : public QObject, public GlobalHotkeys {
    Q_OBJECT
public:
    // Whether `bus` offers the portal's GlobalShortcuts interface; waits at most `timeoutMs`.
    [[nodiscard]] static bool offered(const QDBusConnection& bus, int timeoutMs = 3000);

    PortalHotkeys(QDBusConnection bus, std::function<void(int id)> pressed,
                  std::function<void(const HotkeyStatus&)> changed);
    ~PortalHotkeys() override;

    // Until the desktop answers, the keys asked for are taken as bound, so a slow answer does not
    // raise a notice that the answer would take back.
    [[nodiscard]] HotkeyStatus status() const override;
    std::string takeActivationToken() override;

    // The shortcut ids the program asks the desktop for, by hotkey id - 1.
    static const std::array<QString, 5>& shortcutIds();

private Q_SLOTS:
    void onResponse(const QDBusMessage& message);
    void onActivated(const QDBusMessage& message);
    void onShortcutsChanged(const QDBusMessage& message);

private:
    enum class Step { CreateSession, Bind, List, Done };

    // Sends a portal request whose answer comes as a Response signal on a path made from `token`.
    bool request(const QString& method, QVariantList arguments, const QString& token);
    void bind();
    // Reads the desktop's list of bound shortcuts (a(sa{sv})), checks it with the desktop's shortcut
    // daemon where that can tell, and publishes the status.
    void takeShortcuts(const QVariant& shortcuts);
    // `triggers`: per hotkey id - 1 the keys the desktop gave, empty for none.
    void publish(const std::vector<QString>& triggers, const QString& settingsPlace);
    // The shortcuts asked for, in the portal's a(sa{sv}) shape.
    static QList<portal::Shortcut> wanted();
    void fail(const QString& why);

    QDBusConnection m_bus;
    std::function<void(int)> m_pressed;
    std::function<void(const HotkeyStatus&)> m_changed;
    QString m_senderPart; // the unique bus name as request paths spell it
    QString m_requestPath;
    QString m_session;
    Step m_step = Step::CreateSession;
    HotkeyStatus m_status;
    std::string m_activationToken;
    int m_tokens = 0;
    int m_checks = 0;
};

} // namespace quillory
