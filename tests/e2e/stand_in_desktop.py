#!/usr/bin/env python3
"""Stand-ins for the desktop services Quillory talks to over the session bus, for the end-to-end
tests: the GlobalShortcuts portal, a StatusNotifierWatcher (a tray host) and a notification server.
Every call of interest is appended to the log file, one line each; "ready" once the names are owned.

  stand_in_desktop.py LOG [--portal asked|other|none] [--tray] [--notifications]

The portal binds the keys asked for (asked), other keys (other) or nothing (none). Tests press a
shortcut with the method Press(shortcut_id, activation_token) of org.quillory.StandIn on the
object /StandIn (bus name org.freedesktop.portal.Desktop), which emits Activated.
"""
import argparse
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PORTAL = "org.freedesktop.portal.GlobalShortcuts"
REQUEST = "org.freedesktop.portal.Request"
SESSION = "org.freedesktop.portal.Session"
WATCHER = "org.kde.StatusNotifierWatcher"
NOTIFICATIONS = "org.freedesktop.Notifications"
PROPERTIES = "org.freedesktop.DBus.Properties"


class Log:
    def __init__(self, path):
        self.path = path

    def __call__(self, *words):
        with open(self.path, "a", encoding="utf-8") as f:
            f.write(" ".join(str(w) for w in words).replace("\n", "\\n") + "\n")


def sender_part(sender):
    return sender[1:].replace(".", "_")


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass


class Session(dbus.service.Object):
    def __init__(self, bus, path, portal):
        super().__init__(bus, path)
        self.portal = portal

    @dbus.service.method(SESSION, in_signature="", out_signature="")
    def Close(self):
        self.portal.log("session-closed")


class Portal(dbus.service.Object):
    def __init__(self, bus, mode, log):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.bus = bus
        self.mode = mode
        self.log = log
        self.session = None
        self.bound = []
        self.keep = []

    def answer(self, sender, options, results, response=0):
        token = str(options.get("handle_token", "t%d" % len(self.keep)))
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender_part(sender), token)
        request = Request(self.bus, path)
        self.keep.append(request)
        # After the method's reply, as a real portal answers.
        GLib.idle_add(lambda: (request.Response(dbus.UInt32(response), results), False)[1])
        return dbus.ObjectPath(path)

    def triggers(self):
        shortcuts = []
        for shortcut_id, props in self.bound:
            if self.mode == "none":
                trigger = ""
            elif self.mode == "other":
                trigger = "Alt+Shift+" + str(len(shortcuts) + 1)
            else:
                trigger = str(props.get("preferred_trigger", "")).replace("CTRL", "Ctrl")
            shortcuts.append(dbus.Struct((shortcut_id, dbus.Dictionary(
                {"description": props.get("description", ""), "trigger_description": trigger},
                signature="sv")), signature=None))
        return dbus.Array(shortcuts, signature="(sa{sv})")

    @dbus.service.method(PORTAL, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        token = str(options.get("session_handle_token", "s"))
        path = "/org/freedesktop/portal/desktop/session/%s/%s" % (sender_part(sender), token)
        self.session = Session(self.bus, path, self)
        # KDE's portal binds only what the session is created with.
        self.log("create-session", path, "shortcuts=%d" % len(options.get("shortcuts", [])))
        return self.answer(sender, options, {"session_handle": dbus.String(path)})

    @dbus.service.method(PORTAL, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent, options, sender=None):
        self.bound = [(str(i), dict(p)) for i, p in shortcuts]
        self.log("bind", " ".join("%s=%s" % (i, p.get("preferred_trigger", "")) for i, p in self.bound))
        return self.answer(sender, options, {"shortcuts": self.triggers()})

    @dbus.service.method(PORTAL, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def ListShortcuts(self, session, options, sender=None):
        self.log("list")
        return self.answer(sender, options, {"shortcuts": self.triggers()})

    @dbus.service.signal(PORTAL, signature="osta{sv}")
    def Activated(self, session, shortcut_id, timestamp, options):
        pass

    @dbus.service.signal(PORTAL, signature="oa(sa{sv})")
    def ShortcutsChanged(self, session, shortcuts):
        pass

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == PORTAL and name == "version":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"version": dbus.UInt32(1)} if interface == PORTAL else {}


class Control(dbus.service.Object):
    def __init__(self, bus, portal):
        super().__init__(bus, "/StandIn")
        self.portal = portal

    @dbus.service.method("org.quillory.StandIn", in_signature="ss", out_signature="b")
    def Press(self, shortcut_id, token):
        if self.portal.session is None:
            return False
        options = {"activation_token": dbus.String(token)} if token else {}
        self.portal.Activated(dbus.ObjectPath(self.portal.session.__dbus_object_path__), shortcut_id,
                              dbus.UInt64(GLib.get_monotonic_time() // 1000), dbus.Dictionary(options, signature="sv"))
        self.portal.log("pressed", shortcut_id)
        return True


class Watcher(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.log = log
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names either its bus name or its object path on the caller's connection.
        item = service if not service.startswith("/") else sender + service
        self.items.append(item)
        self.log("item", sender, service)
        self.StatusNotifierItemRegistered(item)

    @dbus.service.method(WATCHER, in_signature="s", out_signature="")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    # Qt reads the properties through introspection, which dbus-python leaves them out of.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s",
                         path_keyword="object_path", connection_keyword="connection")
    def Introspect(self, object_path, connection):
        xml = dbus.service.Object.Introspect(self, object_path, connection)
        properties = ('<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>'
                      '<property name="ProtocolVersion" type="i" access="read"/>'
                      '<property name="RegisteredStatusNotifierItems" type="as" access="read"/>')
        anchor = '<interface name="%s">' % WATCHER
        return xml.replace(anchor, anchor + properties)

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0),
                "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s")}


class Notifications(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.log = log
        self.count = 0

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.count += 1
        self.log("notify", body)
        return dbus.UInt32(self.count)

    @dbus.service.method(NOTIFICATIONS, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method(NOTIFICATIONS, in_signature="u", out_signature="")
    def CloseNotification(self, notification):
        pass

    @dbus.service.method(NOTIFICATIONS, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("stand-in", "quillory-tests", "1", "1.2")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("log")
    parser.add_argument("--portal", choices=["asked", "other", "none"])
    parser.add_argument("--tray", action="store_true")
    parser.add_argument("--notifications", action="store_true")
    args = parser.parse_args()
    log = Log(args.log)

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    keep = []
    if args.portal:
        portal = Portal(bus, args.portal, log)
        keep += [portal, Control(bus, portal), dbus.service.BusName("org.freedesktop.portal.Desktop", bus)]
    if args.tray:
        keep += [Watcher(bus, log), dbus.service.BusName(WATCHER, bus)]
    if args.notifications:
        keep += [Notifications(bus, log), dbus.service.BusName(NOTIFICATIONS, bus)]
    log("ready")
    GLib.MainLoop().run()


if __name__ == "__main__":
    sys.exit(main())
