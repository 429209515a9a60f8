#!/usr/bin/env python3
"""The whole program under openbox with the real keyring, read and operated over the accessibility
bus as a screen reader does; its API address points at a port nobody listens on. A tray host turns
up just after the launch, goes away and comes back.
    program_test.py PROGRAM TOKEN_TOOL"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import xdesktop as x  # noqa: E402
from xdesktop import check  # noqa: E402

TOKEN = "ghp_e2eTestToken"
MENU = ["Test-Ereignis anzeigen", "Einstellungen …", "Nach Updates suchen …", "Beenden"]
TRAYER = ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request", "--height", "24",
          "--SetDockType", "true", "--transparent", "false"]
started = []  # stopped by pid, last first


def start(argv, **kwargs):
    started.append(subprocess.Popen(argv, **kwargs))
    return started[-1]


class Program:
    """One launch of the program, in German, its standard error kept in a file."""

    def __init__(self, name):
        self.err = os.path.join(os.environ["HOME"], name + ".err")
        env = dict(os.environ, TARNLET_TEST_API_ROOT="https://127.0.0.1:9", LANG="C", LANGUAGE="", LC_ALL="",
                   LC_MESSAGES="")
        self.process = start([PROGRAM], env=env, stdout=subprocess.DEVNULL, stderr=open(self.err, "w"))

    def output(self):
        with open(self.err, errors="replace") as f:
            return f.read()

    def settings_window(self):
        windows = [w for w in x.visible_windows_of(self.process.pid, min_size=100) if w.y > 0]
        return max(windows, key=lambda w: w.width * w.height) if windows else None

    def tray_icon(self):
        return x.wait_for(lambda: x.tray_icon_of(self.process.pid), what="the tray icon")


class Events:
    """Menus are popups, which Qt leaves out of the application's tree: a screen reader meets them
    through focus events, and flashes as changes of the overlay's name."""

    def __init__(self):
        import pyatspi
        from gi.repository import GLib
        self.context, self.focused, self.names = GLib.MainContext.default(), [], []
        pyatspi.Registry.registerEventListener(self.on_event, "object:state-changed:focused",
                                               "object:property-change:accessible-name")

    def on_event(self, event):
        try:
            if event.type.startswith("object:property-change"):
                self.names.append(event.source.name)
            elif event.detail1 == 1 and event.source.getRoleName() == "menu item":
                self.focused.append(event.source)
        except Exception:  # the object went away meanwhile
            pass

    def seen(self, probe, what):
        def pumped():
            while self.context.iteration(False):
                pass
            return probe()
        return x.wait_for(pumped, what=what)

    def menu(self, icon):
        """Opens the tray menu with a click, focuses its first entry and returns the menu."""
        x.move_away()
        x.click(*icon.centre)
        time.sleep(0.2)  # the menu maps before it takes keys
        self.focused.clear()
        x.keys("Down")
        return self.seen(lambda: self.focused and self.focused[-1], "a menu item").parent


def run(a11y, events):
    program = Program("first")
    tray = start(TRAYER, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    icon = program.tray_icon()
    app = x.wait_for(lambda: a11y.application("Tarnlet"), what="the program on the bus")
    find = lambda role, name: x.wait_for(lambda: a11y.find(app, role, name), what=f"{role} '{name}'")
    find("frame", "Tarnlet Einstellungen")
    # Framed by openbox, the settings window is centred in the work area.
    settings = program.settings_window()
    frame = [int(n) for n in x.run("xprop", "-id", settings.id, "_NET_FRAME_EXTENTS").split("=")[1].split(",")]
    area = [int(n) for n in x.run("xprop", "-root", "_NET_WORKAREA").split("=")[1].split(",")[:4]]
    check(abs(2 * settings.x - frame[0] + settings.width + frame[1] - 2 * area[0] - area[2]) <= 4 and
          abs(2 * settings.y - frame[2] + settings.height + frame[3] - 2 * area[1] - area[3]) <= 4, "not centred")

    # Closed, the window comes back when the program is launched a second time, which then ends.
    x.run("wmctrl", "-i", "-c", settings.id)
    x.wait_for(lambda: program.settings_window() is None, what="the settings window closed")
    check(Program("second").process.wait(timeout=30) == 0, "the second launch did not end with status 0")
    x.wait_for(program.settings_window, what="the first instance's settings window")

    # The tray menu; its first entry flashes a test event, which opens the overlay with its rows.
    entries = [(n.getRoleName(), n.name) for n in a11y.children(events.menu(icon))]
    check(entries == [("menu item", n) for n in MENU[:3]] + [("separator", ""), ("menu item", MENU[3])], entries)
    x.keys("Return")
    x.move_away()
    events.seen(lambda: "Tests bestanden · main" in events.names, "the flash announced")
    rows = [n.name for n in a11y.find_all(find("status bar", "Tests bestanden · main"), "list item")]
    check("Keine neuen Pull-Request-Meldungen" in rows, "overlay rows %s" % rows)

    # Without a tray host the window offers the menu's commands, said once on standard error; they
    # leave it when a tray host turns up again.
    tray.terminate()
    tray.wait(timeout=10)
    offered = lambda: sorted(n.name for n in a11y.find_all(app, "push button") if n.name in MENU)
    check(x.wait_for(offered, what="the menu's commands in the window") == sorted(set(MENU) - {MENU[1]}), "commands")
    check(program.output().count("Tarnlet: Kein Infobereich (System Tray) gefunden") == 1, program.output())
    start(TRAYER, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    icon = program.tray_icon()
    x.wait_for(lambda: not offered(), what="the menu's commands to leave the window")

    a11y.do_action(a11y.find(events.menu(icon), "menu item", "Beenden"))
    check(program.process.wait(timeout=5) == 0, "quitting did not end with status 0")
    check(TOKEN not in program.output(), "the token was printed")


if __name__ == "__main__":
    PROGRAM, token_tool = sys.argv[1:]
    subprocess.run([token_tool], input=TOKEN.encode(), check=True, stdout=subprocess.DEVNULL)
    try:
        started.append(x.accessibility_bus())
        import atspi_helpers  # once the bus is up
        run(atspi_helpers, Events())
    finally:
        for process in reversed(started):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=10)
    print("ok")
