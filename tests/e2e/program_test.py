#!/usr/bin/env python3
"""program_test.py PROGRAM TOKEN_TOOL: the whole program under openbox with the real keyring, read
over the accessibility bus; a tray host turns up after the launch, goes and comes back."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import xdesktop as x  # noqa: E402
from xdesktop import check  # noqa: E402

TOKEN = "ghp_e2eTestToken"
FLASH = "Tests bestanden · main"
TRAYER = ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request", "--height", "24",
          "--SetDockType", "true", "--transparent", "false"]
started = []  # stopped by pid, last first


def start(argv, **kwargs):
    started.append(subprocess.Popen(argv, stdout=subprocess.DEVNULL, **kwargs))
    return started[-1]


class Program:
    """One launch, in German; its API address points at a port nobody listens on."""

    def __init__(self, name):
        self.err = os.path.join(os.environ["HOME"], name + ".err")
        env = dict(os.environ, TARNLET_TEST_API_ROOT="https://127.0.0.1:9", LANG="C", LANGUAGE="", LC_ALL="",
                   LC_MESSAGES="")
        self.process = start([PROGRAM], env=env, stderr=open(self.err, "w"))

    def output(self):
        with open(self.err, errors="replace") as f:
            return f.read()

    def settings_window(self):
        windows = [w for w in x.visible_windows_of(self.process.pid, min_size=100) if w.y > 0]
        return max(windows, key=lambda w: w.width * w.height) if windows else None

    def menu(self, *keys):
        """Opens the tray menu with a click and presses these keys in it. A tray host that has just
        started may still be placing the icon: the click is repeated until the menu opens."""
        for attempt in range(3):
            icon = x.wait_for(lambda: x.tray_icon_of(self.process.pid), what="the tray icon")
            x.move_away()
            before = {w.id for w in x.visible_windows_of(self.process.pid)}
            x.click(*icon.centre)
            opened = lambda: {w.id for w in x.visible_windows_of(self.process.pid, min_size=20)} - before
            try:
                x.wait_for(opened, timeout=5 if attempt < 2 else 20, what="the menu")
                break
            except AssertionError:
                if attempt == 2:
                    raise
        x.keys(*keys)


def announced(name):
    """Waits until the overlay's name turns to `name`, which a screen reader announces."""
    import pyatspi
    from gi.repository import GLib
    names = []
    pyatspi.Registry.registerEventListener(lambda event: names.append(event.source.name),
                                           "object:property-change:accessible-name")

    def seen():
        while GLib.MainContext.default().iteration(False):
            pass
        return name in names
    return seen


def run(a11y):
    program = Program("first")
    tray = start(TRAYER, stderr=subprocess.DEVNULL)
    app = x.wait_for(lambda: a11y.application("Tarnlet"), what="the program on the bus")
    find = lambda role, name: x.wait_for(lambda: a11y.find(app, role, name), what=f"{role} '{name}'")
    window = find("frame", "Tarnlet Einstellungen")
    # A screen reader finds the panes as list items, the first one selected, the modules' header
    # and the divider not selectable; toggling a pane over the bus shows it under its heading.
    import pyatspi
    items = x.wait_for(lambda: a11y.find_all(window, "list item"), what="the pane list")
    check([n.name for n in items] == ["Allgemein", "Notch", "Benachrichtigungen", "Module", "GitHub Actions",
                                      "GitHub-Meldungen", "GitLab-Pipelines", "GitLab-To-dos", "Docker",
                                      "CI-Feeds", "", "GitHub-Konto", "GitLab-Konto", "CI-Server", "Updates"],
          [n.name for n in items])
    check(items[0].getState().contains(pyatspi.STATE_SELECTED), "the first pane is not selected")
    check(not any(items[i].getState().contains(pyatspi.STATE_SELECTABLE) for i in (3, 10)), "a header is selectable")
    items[8].queryAction().doAction(0)  # "Toggle", the one action Qt gives a list item
    find("heading", "Docker")
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

    # Without a tray host, said once on standard error, a right click on the overlay opens the menu;
    # the settings window is not forced open.
    x.run("wmctrl", "-i", "-c", program.settings_window().id)
    x.wait_for(lambda: program.settings_window() is None, what="the settings window closed")
    tray.terminate()
    tray.wait(timeout=10)
    x.wait_for(lambda: "Kein Infobereich" in program.output(), what="the missing tray said")
    # (Collapsed, the shape lets clicks through to the desktop beneath, whose own menu would take
    # the pointer here: the right click goes to the open overlay, pinned by a click on the notch.)
    overlay = x.overlay_of(program.process.pid)
    x.click(overlay.x + overlay.width // 2, overlay.y + 10)
    before = {w.id for w in x.visible_windows_of(program.process.pid, min_size=20)}
    x.click(overlay.x + overlay.width // 2, overlay.y + 120, button=3)
    x.wait_for(lambda: {w.id for w in x.visible_windows_of(program.process.pid, min_size=20)} - before,
               what="the menu on the overlay")
    # While open, a screen reader finds the menu and its entries, the pause's durations included;
    # the menu key opens it as well once the overlay has the focus.
    entries = lambda: {n.name for n in a11y.find_all(app, "menu item")}
    menu_read = lambda: {"Einstellungen …", "Meldungen pausieren", "1 Stunde", "Beenden"} <= entries()
    x.wait_for(menu_read, what="the overlay's menu on the accessibility bus")
    x.keys("Escape")
    x.wait_for(lambda: not entries(), what="the closed menu gone from the bus")
    x.run("xdotool", "windowfocus", "--sync", overlay.id)
    x.keys("Menu")
    x.wait_for(menu_read, what="the menu opened with the menu key")
    x.keys("Escape")
    x.click(overlay.x + overlay.width // 2, overlay.y + 10)  # unpinned
    check(program.output().count("Tarnlet: Kein Infobereich (System Tray) gefunden") == 1, program.output())
    check(program.settings_window() is None, "the settings window opened without a tray")
    tray = start(TRAYER, stderr=subprocess.DEVNULL)

    # The tray menu's first entry flashes a test event, which opens the overlay with its rows.
    flashed = announced(FLASH)
    program.menu("Down", "Return")
    x.move_away()
    x.wait_for(flashed, what="the flash announced")
    rows = [n.name for n in a11y.find_all(find("status bar", FLASH), "list item")]
    check("Keine neuen GitHub-Meldungen" in rows, "overlay rows %s" % rows)

    program.menu("Up", "Return")  # the last entry quits
    check(program.process.wait(timeout=5) == 0, "quitting did not end with status 0")
    check(TOKEN not in program.output(), "the token was printed")


if __name__ == "__main__":
    PROGRAM, token_tool = sys.argv[1:]
    subprocess.run([token_tool], input=TOKEN.encode(), check=True, stdout=subprocess.DEVNULL)
    try:
        started.append(x.accessibility_bus())
        import atspi_helpers  # once the bus is up
        run(atspi_helpers)
    finally:
        for process in reversed(started):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=10)
    print("ok")
