#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quillory {

// What KDE's shortcut daemon (kglobalaccel) really gave a portal session's shortcuts. KDE's portal
// (Plasma 5.27) answers Bind and List with the keys it asked kglobalaccel for, even where
// kglobalaccel refused them because KWin keeps them (Ctrl+F1..F4 switch desktops): only
// kglobalaccel tells which keys work.
class KGlobalAccelCheck final : public QObject {
    Q_OBJECT
public:
    struct Result {
        QString component;         // the component's name as System Settings shows it
        std::vector<QString> keys; // per shortcut id: its keys as the desktop names them, empty: none
    };

    // Asks without starting kglobalaccel where it is not running. `done` gets nullopt where there
    // is no kglobalaccel or no component for `sessionToken` (the portal names the component after
    // the application id followed by the session token); called once, on the event loop. Deletes
    // itself afterwards.
    static void query(const QDBusConnection& bus, const QString& sessionToken, const QStringList& shortcutIds,
                      QObject* context, std::function<void(std::optional<Result>)> done);

private:
    KGlobalAccelCheck(QDBusConnection bus, QStringList ids, std::function<void(std::optional<Result>)> done);
    void onComponents(const QVariant& components, const QString& token);
    void finish(std::optional<Result> result);

    QDBusConnection m_bus;
    QStringList m_ids;
    std::function<void(std::optional<Result>)> m_done;
    Result m_result;
    int m_waiting = 0;
};

} // namespace quillory
