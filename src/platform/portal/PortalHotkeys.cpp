#include "platform/portal/PortalHotkeys.h"

#include "core/text/HotkeyNames.h"
#include "platform/QtText.h"
#include "platform/portal/KGlobalAccelCheck.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QList>
#include <QMetaObject>

namespace quillory::portal {

// One entry of the portal's a(sa{sv}) shortcut lists.
struct Shortcut {
    QString id;
    QVariantMap properties;
};

const QDBusArgument& operator>>(const QDBusArgument& in, Shortcut& s)
{
    in.beginStructure();
    in >> s.id >> s.properties;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const Shortcut& s)
{
    out.beginStructure();
    out << s.id << s.properties;
    out.endStructure();
    return out;
}

} // namespace quillory::portal

Q_DECLARE_METATYPE(quillory::portal::Shortcut)

namespace quillory {

namespace {

using portal::Shortcut;

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
// Also the name KDE files the shortcuts under in its settings, after the application id, if any.
const QString kSessionToken = QStringLiteral("Quillory");

void RegisterTypes()
{
    static const bool once = [] {
        qDBusRegisterMetaType<Shortcut>();
        qDBusRegisterMetaType<QList<Shortcut>>();
        return true;
    }();
    (void)once;
}

// What each hotkey does, as the desktop shows it when it asks the user to bind the keys.
const std::array<QString, 5> kDescriptions{
    QStringLiteral("Show Quillory with the remembered item"), QStringLiteral("Move up the item list"),
    QStringLiteral("Move down the item list"), QStringLiteral("Copy the page shown to the clipboard"),
    QStringLiteral("Hide Quillory to the system tray")};

} // namespace

const std::array<QString, 5>& PortalHotkeys::shortcutIds()
{
    static const std::array<QString, 5> ids{QStringLiteral("show-window"), QStringLiteral("item-up"),
                                            QStringLiteral("item-down"), QStringLiteral("copy-page"),
                                            QStringLiteral("hide-window")};
    return ids;
}

bool PortalHotkeys::offered(const QDBusConnection& bus, int timeoutMs)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    // Also starts a portal that is activated on demand.
    const QDBusMessage reply = bus.call(get, QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

PortalHotkeys::PortalHotkeys(QDBusConnection bus, std::function<void(int id)> pressed,
                             std::function<void(const HotkeyStatus&)> changed)
    : m_bus(std::move(bus)), m_pressed(std::move(pressed)), m_changed(std::move(changed))
{
    RegisterTypes();
    m_status = {true, 0x1F, {}, {}};
    m_senderPart = m_bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this, SLOT(onActivated(QDBusMessage)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
                  SLOT(onShortcutsChanged(QDBusMessage)));
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"), kSessionToken);
    // KDE's portal (5.27) takes the shortcuts from here and ignores those of BindShortcuts.
    options.insert(QStringLiteral("shortcuts"), QVariant::fromValue(wanted()));
    request(QStringLiteral("CreateSession"), {options}, QStringLiteral("quillory_session"));
}

PortalHotkeys::~PortalHotkeys()
{
    if (!m_session.isEmpty())
        m_bus.call(QDBusMessage::createMethodCall(kService, m_session, QStringLiteral("org.freedesktop.portal.Session"),
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
}

HotkeyStatus PortalHotkeys::status() const
{
    return m_status;
}

std::string PortalHotkeys::takeActivationToken()
{
    return std::exchange(m_activationToken, {});
}

bool PortalHotkeys::request(const QString& method, QVariantList arguments, const QString& token)
{
    const QString handleToken = QStringLiteral("%1_%2").arg(token).arg(++m_tokens);
    // Listen on the request's path before asking, so an answer cannot come first.
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(kService, m_requestPath, kRequest, QStringLiteral("Response"), this,
                         SLOT(onResponse(QDBusMessage)));
    m_requestPath = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(m_senderPart, handleToken);
    m_bus.connect(kService, m_requestPath, kRequest, QStringLiteral("Response"), this, SLOT(onResponse(QDBusMessage)));

    QVariantMap options = arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), handleToken);
    arguments.append(options);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method, predicted = m_requestPath](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) {
                    fail(QStringLiteral("%1: %2").arg(method, reply.error().message()));
                    return;
                }
                // An older portal picks the path itself. The answer may have come before this reply, and
                // the next request be under way: then this request is done with.
                const QString path = reply.value().path();
                if (path != predicted && m_requestPath == predicted) {
                    m_bus.disconnect(kService, m_requestPath, kRequest, QStringLiteral("Response"), this,
                                     SLOT(onResponse(QDBusMessage)));
                    m_requestPath = path;
                    m_bus.connect(kService, m_requestPath, kRequest, QStringLiteral("Response"), this,
                                  SLOT(onResponse(QDBusMessage)));
                }
            });
    return true;
}

void PortalHotkeys::onResponse(const QDBusMessage& message)
{
    if (message.path() != m_requestPath || message.arguments().size() < 2)
        return;
    const uint response = message.arguments().at(0).toUInt();
    const auto results = qdbus_cast<QVariantMap>(message.arguments().at(1));
    if (response != 0) {
        fail(response == 1 ? QStringLiteral("the request was cancelled") : QStringLiteral("the request failed"));
        return;
    }
    switch (m_step) {
    case Step::CreateSession: {
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        m_session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
        if (m_session.isEmpty()) {
            fail(QStringLiteral("the desktop opened no session"));
            return;
        }
        m_step = Step::Bind;
        bind();
        break;
    }
    case Step::Bind:
        // The bind's answer may name keys that were asked for rather than given; the list is
        // what the portal holds now.
        m_step = Step::List;
        request(QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap()},
                QStringLiteral("quillory_list"));
        break;
    case Step::List:
        m_step = Step::Done;
        takeShortcuts(results.value(QStringLiteral("shortcuts")));
        break;
    case Step::Done:
        break;
    }
}

QList<Shortcut> PortalHotkeys::wanted()
{
    QList<Shortcut> shortcuts;
    for (std::size_t i = 0; i < shortcutIds().size(); ++i) {
        QVariantMap properties;
        properties.insert(QStringLiteral("description"), kDescriptions[i]);
        // The shortcut format of the freedesktop shortcuts convention.
        properties.insert(QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+F%1").arg(i + 1));
        shortcuts.append({shortcutIds()[i], properties});
    }
    return shortcuts;
}

void PortalHotkeys::bind()
{
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(wanted()), QString(), QVariantMap()},
            QStringLiteral("quillory_bind"));
}

void PortalHotkeys::takeShortcuts(const QVariant& shortcuts)
{
    QList<Shortcut> list;
    if (shortcuts.canConvert<QDBusArgument>())
        list = qdbus_cast<QList<Shortcut>>(shortcuts.value<QDBusArgument>());
    else
        list = shortcuts.value<QList<Shortcut>>();

    std::array<QString, 5> listed;
    for (const Shortcut& s : list) {
        const auto& ids = shortcutIds();
        const auto it = std::find(ids.begin(), ids.end(), s.id);
        if (it != ids.end())
            listed[static_cast<std::size_t>(it - ids.begin())] =
                s.properties.value(QStringLiteral("trigger_description")).toString();
    }
    // Only the answer to the newest list counts: the user may change keys while one is checked.
    const int generation = ++m_checks;
    QStringList ids;
    for (const QString& id : shortcutIds())
        ids << id;
    KGlobalAccelCheck::query(
        m_bus, kSessionToken, ids, this, [this, listed, generation](std::optional<KGlobalAccelCheck::Result> granted) {
            if (generation != m_checks)
                return;
            if (granted)
                publish(granted->keys, QStringLiteral("System Settings, Shortcuts, %1").arg(granted->component));
            else
                publish({listed.begin(), listed.end()}, QStringLiteral("the desktop's keyboard shortcut settings"));
        });
}

void PortalHotkeys::publish(const std::vector<QString>& triggers, const QString& settingsPlace)
{
    HotkeyStatus status{true, 0, {}, {}, fromQ(settingsPlace), false};
    for (std::size_t i = 0; i < triggers.size() && i < status.otherKeys.size(); ++i) {
        const std::u16string trigger = fromQ(triggers[i]);
        // A shortcut listed without a trigger has no key.
        if (trigger.empty())
            continue;
        status.registeredMask |= 1U << i;
        if (!IsAskedKey(trigger, static_cast<int>(i) + 1))
            status.otherKeys[i] = trigger;
    }
    m_status = status;
    if (m_changed)
        m_changed(m_status);
}

void PortalHotkeys::onActivated(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    if (args.size() < 2 || args.at(0).value<QDBusObjectPath>().path() != m_session)
        return;
    const auto& ids = shortcutIds();
    const auto it = std::find(ids.begin(), ids.end(), args.at(1).toString());
    if (it == ids.end())
        return;
    if (args.size() >= 4)
        m_activationToken =
            qdbus_cast<QVariantMap>(args.at(3)).value(QStringLiteral("activation_token")).toString().toStdString();
    const int id = static_cast<int>(it - ids.begin()) + 1;
    // Queued, as key grabs are: a handler may open a modal box.
    QMetaObject::invokeMethod(
        this, [this, id] { m_pressed(id); }, Qt::QueuedConnection);
}

void PortalHotkeys::onShortcutsChanged(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    if (args.size() < 2 || args.at(0).value<QDBusObjectPath>().path() != m_session)
        return;
    takeShortcuts(args.at(1));
}

void PortalHotkeys::fail(const QString& why)
{
    m_step = Step::Done;
    m_status = {false,
                0,
                fromQ(QStringLiteral("The desktop's shortcut service did not bind Quillory's hotkeys (%1).").arg(why)),
                {}};
    if (m_changed)
        m_changed(m_status);
}

} // namespace quillory
