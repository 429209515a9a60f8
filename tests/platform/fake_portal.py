#!/usr/bin/python3
"""fake_portal.py ["GROUP KEY VALUE"]...: the desktop portal on the session bus: its settings, values
in GVariant text (true, 0.0, 'text'), and its global shortcuts, granted as asked. Each line on standard
input "GROUP KEY VALUE" changes a setting and announces it; "activate ID" presses the shortcut ID of
the newest session. It prints "ready", then "bound SESSION TRIGGER DESCRIPTION" for each binding and
"closed SESSION" for each session closed."""
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.portal.Settings"><method name="Read">
  <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/>
</method></interface>
<interface name="org.freedesktop.portal.GlobalShortcuts">
  <method name="CreateSession"><arg type="a{sv}" direction="in"/><arg type="o" direction="out"/></method>
  <method name="BindShortcuts"><arg type="o" direction="in"/><arg type="a(sa{sv})" direction="in"/>
    <arg type="s" direction="in"/><arg type="a{sv}" direction="in"/><arg type="o" direction="out"/></method>
</interface>
<interface name="org.freedesktop.portal.Session"><method name="Close"/></interface></node>"""
PATH = "/org/freedesktop/portal/desktop"
values = {}
sessions = []


def setting(line):
    group, key, text = line.split(" ", 2)
    values[(group, key)] = GLib.Variant.parse(None, text.strip(), None, None)
    return GLib.Variant("(ssv)", (group, key, values[(group, key)]))


def handle(sender, kind, token):
    return f"{PATH}/{kind}/{sender[1:].replace('.', '_')}/{token}"


def respond(invocation, options, results):
    """Answers with the request's path, then sends its Response, as the portal does."""
    path = handle(invocation.get_sender(), "request", options["handle_token"])
    invocation.return_value(GLib.Variant("(o)", (path,)))
    bus.emit_signal(invocation.get_sender(), path, "org.freedesktop.portal.Request", "Response",
                    GLib.Variant("(ua{sv})", (0, results)))


def call(connection, sender, path, interface, method, parameters, invocation):
    args = parameters.unpack()
    if method == "Read":
        found = values.get(tuple(args))
        if found is None:
            invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound", str(parameters))
        else:  # like the portal, the value wrapped in a variant once more
            invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", found),)))
    elif method == "CreateSession":
        session = handle(sender, "session", args[0]["session_handle_token"])
        sessions.append(session)
        bus.register_object(session, info.interfaces[2], call, None, None)
        respond(invocation, args[0], {"session_handle": GLib.Variant("s", session)})
    elif method == "BindShortcuts":
        for shortcut_id, properties in args[1]:
            print("bound", args[0], properties["preferred_trigger"], properties["description"], flush=True)
        respond(invocation, args[3], {"shortcuts": GLib.Variant("a(sa{sv})", [
            (shortcut_id, {"trigger_description": GLib.Variant("s", properties["preferred_trigger"])})
            for shortcut_id, properties in args[1]])})
    elif method == "Close":
        print("closed", path, flush=True)
        invocation.return_value(None)


def on_line(channel, condition):
    line = channel.readline()
    if line.startswith("activate "):
        bus.emit_signal(None, PATH, "org.freedesktop.portal.GlobalShortcuts", "Activated",
                        GLib.Variant("(osta{sv})", (sessions[-1], line.split()[1], 0, {})))
        bus.flush_sync(None)
    elif line.strip():
        bus.emit_signal(None, PATH, "org.freedesktop.portal.Settings", "SettingChanged", setting(line))
        bus.flush_sync(None)
    elif not line:
        loop.quit()
    return bool(line)


for line in sys.argv[1:]:
    setting(line)
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
info = Gio.DBusNodeInfo.new_for_xml(XML)
for interface in info.interfaces[:2]:
    bus.register_object(PATH, interface, call, None, None)
loop = GLib.MainLoop()
GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP, on_line)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                               lambda *_: print("ready", flush=True), None)
loop.run()
