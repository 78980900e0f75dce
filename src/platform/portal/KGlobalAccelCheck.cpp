#include "platform/portal/KGlobalAccelCheck.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QKeySequence>

namespace quillory {

namespace {

const QString kService = QStringLiteral("org.kde.kglobalaccel");
const QString kPath = QStringLiteral("/kglobalaccel");
const QString kInterface = QStringLiteral("org.kde.KGlobalAccel");

QDBusMessage call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(arguments);
    // Outside KDE the daemon's service file would start a second shortcut daemon of its own.
    message.setAutoStartService(false);
    return message;
}

// kglobalaccel's keys are Qt key combinations as integers, 0 for none.
QString keyNames(const QList<int>& keys)
{
    QStringList names;
    for (const int key : keys)
        if (key != 0)
            names << QKeySequence(QKeyCombination::fromCombined(key)).toString(QKeySequence::NativeText);
    return names.join(QStringLiteral(", "));
}

} // namespace

KGlobalAccelCheck::KGlobalAccelCheck(QDBusConnection bus, QStringList ids,
                                     std::function<void(std::optional<Result>)> done)
    : m_bus(std::move(bus)), m_ids(std::move(ids)), m_done(std::move(done))
{
}

void KGlobalAccelCheck::query(const QDBusConnection& bus, const QString& sessionToken, const QStringList& shortcutIds,
                              QObject* context, std::function<void(std::optional<Result>)> done)
{
    auto* check = new KGlobalAccelCheck(bus, shortcutIds, std::move(done));
    // The check ends with its context (the hotkeys), never calling back into a deleted one.
    check->setParent(context);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call(QStringLiteral("allMainComponents"), {})), check);
    connect(watcher, &QDBusPendingCallWatcher::finished, check, [check, sessionToken](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            check->finish(std::nullopt);
            return;
        }
        check->onComponents(reply.arguments().constFirst(), sessionToken);
    });
}

void KGlobalAccelCheck::onComponents(const QVariant& components, const QString& token)
{
    // aas: per component its unique name, its friendly name and two empty strings.
    const auto lists = qdbus_cast<QList<QStringList>>(components.value<QDBusArgument>());
    const QStringList* found = nullptr;
    for (const QStringList& component : lists) {
        if (component.isEmpty())
            continue;
        // The exact token first: a component of another program may end with the same word.
        if (component.constFirst() == token) {
            found = &component;
            break;
        }
        if (!found && component.constFirst().endsWith(token))
            found = &component;
    }
    if (!found) {
        finish(std::nullopt);
        return;
    }
    m_result.component = found->size() > 1 && !found->at(1).isEmpty() ? found->at(1) : found->constFirst();
    m_result.keys.assign(static_cast<std::size_t>(m_ids.size()), QString());
    m_waiting = static_cast<int>(m_ids.size());
    const QString unique = found->constFirst();
    for (qsizetype i = 0; i < m_ids.size(); ++i) {
        const QStringList actionId{unique, m_ids.at(i), QString(), QString()};
        auto* watcher =
            new QDBusPendingCallWatcher(m_bus.asyncCall(call(QStringLiteral("shortcut"), {actionId})), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, i](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            const QDBusPendingReply<QList<int>> reply = *w;
            if (!reply.isError())
                m_result.keys[static_cast<std::size_t>(i)] = keyNames(reply.value());
            if (--m_waiting == 0)
                finish(m_result);
        });
    }
}

void KGlobalAccelCheck::finish(std::optional<Result> result)
{
    if (!m_done)
        return;
    const auto done = std::exchange(m_done, {});
    deleteLater();
    done(std::move(result));
}

} // namespace quillory
