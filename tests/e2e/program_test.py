#!/usr/bin/env python3
"""The whole program on a private X display with the real keyring, read and operated over the
accessibility bus as a screen reader does.
    program_test.py german|english|notray PROGRAM TOKEN_TOOL
german, english: under openbox with a tray host, under LANG=C and en_US.UTF-8: the settings window
  at launch, the tray menu, the test flash and the overlay's rows; in German also the framed window
  centred, its switch and slider over the bus, a second launch handing over, and quitting.
notray: the keyring is locked (its unlock prompt turned down, the launch goes on), and the tray
  host comes and goes while the program runs.
Runs inside with-display.sh and with-keyring.sh; starts the accessibility bus on the keyring's
session bus. The API address points at a local port nobody listens on."""

import json
import os
import subprocess
import sys
import time

sys.path[:0] = [os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")]
import xdesktop as x  # noqa: E402
from xdesktop import check  # noqa: E402

TOKEN = "ghp_e2eTestToken"
MENU = ["Test-Ereignis anzeigen", "Einstellungen …", "Nach Updates suchen …", "Beenden"]
NO_TRAY_LINE = "Tarnlet: Kein Infobereich (System Tray) gefunden"
# The token is stored and GitHub unreachable: the pull-request row is the empty one, the Actions
# row loads or fails.
READS = {
    "C": {
        "window": "Tarnlet Einstellungen",
        "sidebar": ["Allgemein", "Notch", "Benachrichtigungen", "GitHub Actions", "Pull Requests", "Docker",
                    "GitHub-Konto", "Updates"],
        "picker": ("Sprache", ["System", "Deutsch", "English"]),
        "menu": MENU,
        "flash": "Tests bestanden · main",
        "pull requests": "Keine neuen Pull-Request-Meldungen",
        "actions": ("teskarvo/Tarnlet, Lädt …", "teskarvo/Tarnlet, Läufe konnten nicht geladen werden."),
    },
    "en_US.UTF-8": {
        "window": "Tarnlet Settings",
        "sidebar": ["General", "Notch", "Notifications", "GitHub Actions", "Pull Requests", "Docker",
                    "GitHub Account", "Updates"],
        "picker": ("Language", ["System", "Deutsch", "English"]),
        "menu": ["Show Test Event", "Settings …", "Check for Updates …", "Quit"],
        "flash": "Tests passed · main",
        "pull requests": "No new pull request notifications",
        "actions": ("teskarvo/Tarnlet, Loading …", "teskarvo/Tarnlet, Runs could not be loaded."),
    },
}
# What the German settings window offers a screen reader, pane by pane.
PANES = {
    "Allgemein": [("text", "Einstellungen durchsuchen"), ("heading", "Allgemein"), ("label", "Darstellung"),
                  ("panel", "Erscheinungsbild"), ("check box", "Einstellungen beim Start anzeigen")],
    "Benachrichtigungen": [("slider", "Anzeigedauer"), ("label", "3.5 s"), ("label", "Kurz"), ("label", "Lang")],
    "Notch": [("image", "Vorschau der Notch: Deploy in staging, läuft seit 42 Sekunden"),
              ("check box", "Bei Hover aufklappen")],
    "GitHub-Konto": [("password text", "Persönlicher Zugriffstoken"), ("push button", "Speichern")],
    "Updates": [("push button", "Jetzt nach Updates suchen"), ("check box", "Automatisch nach Updates suchen")],
    "Docker": [("check box", "Modul aktiv")],
}
EXIT_GUARD = 5.0  # a hang guard, not a timing check

started = []  # processes this script started, stopped by pid in reverse order


def start(argv, **kwargs):
    process = subprocess.Popen(argv, **kwargs)
    started.append(process)
    return process


def preferences_path():
    return os.path.join(os.environ["XDG_CONFIG_HOME"], "Tarnlet", "Tarnlet.json")


def write_preferences(values):
    os.makedirs(os.path.dirname(preferences_path()), exist_ok=True)
    with open(preferences_path(), "w") as f:
        json.dump(values, f)


def stored(key):
    with open(preferences_path()) as f:
        return json.load(f).get(key)


class Program:
    """One launch of the program, found on the accessibility bus."""

    def __init__(self, a11y, name, lang="C", find=True):
        self.a11y, self.err = a11y, os.path.join(os.environ["HOME"], name + ".err")
        env = dict(os.environ, TARNLET_TEST_API_ROOT="https://127.0.0.1:9", LANG=lang)
        for variable in ("LANGUAGE", "LC_ALL", "LC_MESSAGES"):
            env.pop(variable, None)
        self.process = start([PROGRAM], env=env, stdout=subprocess.DEVNULL, stderr=open(self.err, "w"))
        self.pid = self.process.pid
        if find:
            self.app = x.wait_for(self.on_bus, what="the program on the a11y bus")

    def on_bus(self):
        check(self.process.poll() is None, "the program ended with %s" % self.process.returncode)
        return self.a11y.application("Tarnlet")

    def find(self, role, name, root=None):
        return x.wait_for(lambda: self.a11y.find(root or self.app, role, name), what="%s '%s'" % (role, name))

    def wait_for_flash(self, text):
        def status():
            bar = self.a11y.find(self.app, "status bar")
            return bar is not None and bar.name == text and bar.childCount > 0
        x.wait_for(status, what="the test flash to open the overlay")

    def notices(self):
        with open(self.err) as f:
            return [line for line in f if NO_TRAY_LINE in line]

    def settings_window(self):
        windows = [w for w in x.visible_windows_of(self.pid, min_size=100) if w.y > 0]
        return max(windows, key=lambda w: w.width * w.height) if windows else None

    def ended_after(self, node):
        """Presses the quit command; it ends with status 0 and never printed the token."""
        self.a11y.do_action(node)
        try:
            check(self.process.wait(timeout=EXIT_GUARD) == 0, "quitting did not end with status 0")
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end after quitting")
        with open(self.err, errors="replace") as f:
            check(TOKEN not in f.read(), "the token was printed")


class MenuWatch:
    """Menus are popups, which Qt leaves out of the application's accessible tree; a screen reader
    meets them through focus events, and so does this watch."""

    def __init__(self):
        import pyatspi
        from gi.repository import GLib
        self.context, self.focused = GLib.MainContext.default(), []
        pyatspi.Registry.registerEventListener(self.on_focus, "object:state-changed:focused")

    def on_focus(self, event):
        try:
            if event.detail1 == 1 and event.source.getRoleName() == "menu item":
                self.focused.append(event.source)
        except Exception:  # the item went away meanwhile
            pass

    def open(self, icon):
        """Opens the tray menu with a click, focuses its first entry and returns the menu."""
        x.move_away()
        x.click(*icon.centre)
        time.sleep(0.2)  # the menu maps before it takes keys
        self.focused.clear()
        x.keys("Down")

        def probe():
            while self.context.iteration(False):
                pass
            return self.focused[-1] if self.focused else None
        return x.wait_for(probe, what="a focused menu item").parent


def frame_centred(window):
    """The window with the frame openbox drew around it is centred in the work area."""
    extents = x.run("xprop", "-id", window.id, "_NET_FRAME_EXTENTS").split("=")[-1]
    left, right, top, bottom = (int(n) for n in extents.split(","))
    area = [int(n) for n in x.run("xprop", "-root", "_NET_WORKAREA").split("=")[1].split(",")[:4]]
    centre = (window.x - left + (window.width + left + right) / 2, window.y - top + (window.height + top + bottom) / 2)
    return abs(centre[0] - area[0] - area[2] / 2) <= 2 and abs(centre[1] - area[1] - area[3] / 2) <= 2


def reads_in(lang, a11y):
    """The settings window (open at launch), the menu and the opened overlay, in one language."""
    want = READS[lang]
    write_preferences({})
    program = Program(a11y, lang, lang)
    icon = x.wait_for(lambda: x.tray_icon_of(program.pid), what="the tray icon")
    window = program.find("frame", want["window"])
    rows = [n.name for n in a11y.find_all(window, "list item")]
    check(rows == want["sidebar"], "sidebar %s" % rows)
    picker = program.find("panel", want["picker"][0], window)
    check([n.name for n in a11y.find_all(picker, "radio button")] == want["picker"][1], "language picker")

    if lang == "C":
        x.wait_for(lambda: frame_centred(program.settings_window()), 5, what="the framed window centred")
        # Every pane's controls are on the bus with their role and name, and work from there.
        for pane, controls in PANES.items():
            a11y.do_action(program.find("list item", pane, window))
            x.wait_for(lambda: "selected" in a11y.states(program.find("list item", pane, window)), what=pane)
            found = {control: program.find(*control, window) for control in controls}
            if pane == "Allgemein":
                a11y.do_action(program.find("radio button", "Dunkel", found[("panel", "Erscheinungsbild")]))
                switch = found[("check box", "Einstellungen beim Start anzeigen")]
                check("checked" in a11y.states(switch), "the launch switch should start on")
                a11y.do_action(switch)
                x.wait_for(lambda: (stored("app.appearance"), stored("app.showSettingsOnLaunch")) == ("dark", False),
                           what="the appearance and the launch switch stored")
            elif pane == "Benachrichtigungen":
                slider = found[("slider", "Anzeigedauer")]
                check((a11y.value(slider), slider.description) == (3.5, "3.5 Sekunden"), slider.description)
                slider.queryValue().currentValue = 6.2
                x.wait_for(lambda: stored("notch.flashDuration") == 6.0, what="the duration stored on its grid")
            elif pane == "Docker":
                a11y.do_action(found[("check box", "Modul aktiv")])
                x.wait_for(lambda: stored("disabledModuleIDs") == ["docker"], what="the module switched off")
        # Closed, the window comes back when the program is launched a second time, which then ends.
        x.run("wmctrl", "-i", "-c", program.settings_window().id)
        x.wait_for(lambda: program.settings_window() is None, what="the settings window closed")
        second = Program(a11y, "second", find=False)
        check(second.process.wait(timeout=30) == 0, "the second launch did not end with status 0")
        x.wait_for(program.settings_window, what="the first instance's settings window")

    watch = MenuWatch()
    menu = watch.open(icon)
    entries = [(a11y.role(n), n.name) for n in a11y.children(menu)]
    check([name for role, name in entries if role == "menu item"] == want["menu"], "menu %s" % entries)
    check(entries[3][0] == "separator", "no separator before the last entry: %s" % entries)
    x.keys("Return")  # the focused first entry
    x.move_away()
    program.wait_for_flash(want["flash"])
    rows = [n.name for n in a11y.find_all(program.find("status bar", want["flash"]), "list item")]
    check(want["pull requests"] in rows and any(row in want["actions"] for row in rows), "overlay rows %s" % rows)
    program.ended_after(a11y.find(watch.open(icon), "menu item", want["menu"][-1]))


def start_tray_host():
    return start(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request", "--height", "24",
                  "--SetDockType", "true", "--transparent", "false"],
                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def unlock_prompt():
    """The keyring's unlock prompt (gnome-keyring's own window), if one is shown."""
    found = x.run("xdotool", "search", "--onlyvisible", "--name", "Unlock", check=False).split()
    return found[0] if found else None


def without_tray(a11y):
    """The keyring is locked and the tray host comes and goes while the program runs, as at a login
    with autostart."""
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.secrets",
                    "/org/freedesktop/secrets", "org.freedesktop.Secret.Service.Lock",
                    "array:objpath:/org/freedesktop/secrets/collection/login"], check=True, stdout=subprocess.DEVNULL)
    write_preferences({"app.showSettingsOnLaunch": False})
    program = Program(a11y, "notray", find=False)
    x.wait_for(lambda: x.overlay_of(program.pid), what="the overlay at the top centre")
    # Reading the token asks the keyring to unlock itself; the user turns the prompt down, and the
    # launch goes on without a token.
    x.run("xdotool", "windowfocus", "--sync", x.wait_for(unlock_prompt, what="the keyring's unlock prompt"))
    x.keys("Escape")
    # A tray host starting just after the program (within its wait at launch) keeps the menu.
    host = start_tray_host()
    x.wait_for(lambda: x.tray_icon_of(program.pid), what="the tray icon")
    program.app = x.wait_for(program.on_bus, what="the program on the a11y bus")
    time.sleep(2.5)  # past the wait at launch
    check(program.settings_window() is None and not program.notices(), "the window opened although a tray came")

    # The tray host ends: the window opens and offers the menu's commands, said once on stderr.
    host.terminate()
    host.wait(timeout=10)
    offered = lambda: sorted(n.name for n in a11y.find_all(program.app, "push button") if n.name in MENU)
    check(x.wait_for(offered, what="the menu's actions in the window") == sorted(set(MENU) - {MENU[1]}), "actions")
    check(program.settings_window() and len(program.notices()) == 1, "notices %s" % program.notices())
    a11y.do_action(program.find("push button", MENU[0]))
    program.wait_for_flash(READS["C"]["flash"])

    # A tray host turning up again gets the icon, and the commands leave the window.
    start_tray_host()
    icon = x.wait_for(lambda: x.tray_icon_of(program.pid), what="the tray icon again")
    x.wait_for(lambda: not offered(), what="the menu's actions to leave the window")
    check(unlock_prompt() is None, "the keyring asked to be unlocked a second time")
    program.ended_after(a11y.find(MenuWatch().open(icon), "menu item", "Beenden"))


def main(mode, token_tool):
    subprocess.run([token_tool], input=TOKEN.encode(), check=True, stdout=subprocess.DEVNULL)
    try:
        started.append(x.accessibility_bus())
        import atspi_helpers as a11y  # once the bus is up
        if mode in ("german", "english"):
            reads_in("C" if mode == "german" else "en_US.UTF-8", a11y)
        else:
            without_tray(a11y)
    finally:
        for process in reversed(started):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=10)
    print("ok")


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in ("german", "english", "notray"):
        sys.exit(__doc__)
    PROGRAM = sys.argv[2]
    main(sys.argv[1], sys.argv[3])
