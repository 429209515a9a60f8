#!/usr/bin/python3
"""fake_portal.py ["GROUP KEY VALUE"]...: the desktop portal's settings on the session bus, values in
GVariant text (true, 0.0, 'text'); each such line on standard input changes one and announces it."""
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.portal.Settings"><method name="Read">
  <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/>
</method></interface></node>"""
PATH = "/org/freedesktop/portal/desktop"
values = {}


def setting(line):
    group, key, text = line.split(" ", 2)
    values[(group, key)] = GLib.Variant.parse(None, text.strip(), None, None)
    return GLib.Variant("(ssv)", (group, key, values[(group, key)]))


def read(connection, sender, path, interface, method, parameters, invocation):
    found = values.get(tuple(parameters.unpack()))
    if found is None:
        invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound", str(parameters))
    else:  # like the portal, the value wrapped in a variant once more
        invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", found),)))


def on_line(channel, condition):
    line = channel.readline()
    if line.strip():
        bus.emit_signal(None, PATH, "org.freedesktop.portal.Settings", "SettingChanged", setting(line))
        bus.flush_sync(None)
    elif not line:
        loop.quit()
    return bool(line)


for line in sys.argv[1:]:
    setting(line)
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], read, None, None)
loop = GLib.MainLoop()
GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP, on_line)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                               lambda *_: print("ready", flush=True), None)
loop.run()
