#!/usr/bin/python3
"""A stand-in for the desktop portal's settings interface on the session bus.

fake_portal.py [GROUP KEY JSON_VALUE]...  serves these values; each later line on standard input,
"GROUP KEY JSON_VALUE", changes one and announces it with SettingChanged.
"""
import json
import sys

from gi.repository import Gio, GLib

XML = """
<node><interface name="org.freedesktop.portal.Settings">
  <method name="Read"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="v" direction="out"/></method>
  <signal name="SettingChanged"><arg type="s"/><arg type="s"/><arg type="v"/></signal>
</interface></node>
"""
PATH = "/org/freedesktop/portal/desktop"
IFACE = "org.freedesktop.portal.Settings"


def variant(value):
    if isinstance(value, bool):
        return GLib.Variant("b", value)
    if isinstance(value, (int, float)):
        return GLib.Variant("d", float(value))
    return GLib.Variant("s", str(value))


values = {}
args = sys.argv[1:]
for i in range(0, len(args), 3):
    values[(args[i], args[i + 1])] = json.loads(args[i + 2])

bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(connection, sender, path, interface, method, parameters, invocation):
    group, key = parameters.unpack()
    if (group, key) not in values:
        invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound", f"{group} {key}")
        return
    # Like the portal: the value wrapped in a variant once more.
    invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", variant(values[(group, key)])),)))


bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], call, None, None)
loop = GLib.MainLoop()


def on_line(channel, condition):
    line = channel.readline()
    if not line:
        loop.quit()
        return False
    group, key, raw = line.split(" ", 2)
    values[(group, key)] = json.loads(raw)
    bus.emit_signal(None, PATH, IFACE, "SettingChanged", GLib.Variant("(ssv)", (group, key, variant(values[(group, key)]))))
    bus.flush_sync(None)
    return True


GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP, on_line)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                               lambda *a: (print("ready", flush=True)), None)
loop.run()
