#!/usr/bin/python3
"""A stand-in for the desktop portal's settings interface on the session bus.
    fake_portal.py ["GROUP KEY JSON_VALUE"]...
serves these values; each line "GROUP KEY JSON_VALUE" on standard input changes one and announces
it with SettingChanged. It ends with its input."""
import json
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.portal.Settings">
  <method name="Read"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <signal name="SettingChanged"><arg type="s"/><arg type="s"/><arg type="v"/></signal>
</interface></node>"""
PATH = "/org/freedesktop/portal/desktop"
values = {}


def setting(line):
    group, key, raw = line.split(" ", 2)
    value = json.loads(raw)
    type_code = "b" if isinstance(value, bool) else "d" if isinstance(value, (int, float)) else "s"
    values[(group, key)] = GLib.Variant(type_code, float(value) if type_code == "d" else value)
    return group, key, values[(group, key)]


def read(connection, sender, path, interface, method, parameters, invocation):
    found = values.get(tuple(parameters.unpack()))
    if found is None:
        invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound", str(parameters))
    else:  # like the portal, the value wrapped in a variant once more
        invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", found),)))


def on_line(channel, condition):
    raw = channel.readline()
    if raw.strip():
        bus.emit_signal(None, PATH, "org.freedesktop.portal.Settings", "SettingChanged",
                        GLib.Variant("(ssv)", setting(raw)))
        bus.flush_sync(None)
    if not raw:
        loop.quit()
    return bool(raw)


for line in sys.argv[1:]:
    setting(line)
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], read, None, None)
loop = GLib.MainLoop()
GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP, on_line)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                               lambda *_: print("ready", flush=True), None)
loop.run()
