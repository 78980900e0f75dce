#include "platform/GlobalHotkeys.h"

#include "platform/NoHotkeys.h"
#include "platform/portal/PortalHotkeys.h"
#ifdef QUILLORY_HAVE_XCB
#include "platform/x11/XcbHotkeys.h"
#endif

#include <QGuiApplication>

namespace quillory {

std::string GlobalHotkeys::preferredPlatform()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qgetenv("XDG_SESSION_TYPE") != "wayland")
        return {};
    // Before the application exists: a connection of its own, closed again.
    const QString name = QStringLiteral("quillory-platform-probe");
    bool portal = false;
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        portal = PortalHotkeys::offered(bus);
    }
    QDBusConnection::disconnectFromBus(name);
    if (portal)
        return "wayland;xcb";
    return qEnvironmentVariableIsEmpty("DISPLAY") ? std::string() : std::string("xcb");
}

std::unique_ptr<GlobalHotkeys> GlobalHotkeys::create(std::function<void(int id)> pressed,
                                                     std::function<void(const HotkeyStatus&)> changed)
{
    const QString platform = qGuiApp ? QGuiApplication::platformName() : QString();
    const bool waylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // In a Wayland session key grabs see only X11 clients; the portal sees every key.
    if ((platform == QLatin1String("wayland") || (platform == QLatin1String("xcb") && waylandSession)) &&
        PortalHotkeys::offered(QDBusConnection::sessionBus()))
        return std::make_unique<PortalHotkeys>(QDBusConnection::sessionBus(), std::move(pressed), std::move(changed));
#ifdef QUILLORY_HAVE_XCB
    if (platform == QLatin1String("xcb"))
        if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            if (xcb_connection_t* connection = x11->connection())
                return std::make_unique<XcbHotkeys>(connection, std::move(pressed));
    if (platform == QLatin1String("wayland"))
        return std::make_unique<NoHotkeys>(
            u"System-wide hotkeys need the desktop's GlobalShortcuts portal or an X11 display; this Wayland "
            u"session offers neither.");
    return std::make_unique<NoHotkeys>(u"System-wide hotkeys need an X11 display; none is available in this session.");
#else
    return std::make_unique<NoHotkeys>(u"System-wide hotkeys need an X11 session; this build has no X11 support.");
#endif
}

} // namespace quillory
