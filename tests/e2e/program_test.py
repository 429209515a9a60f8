#!/usr/bin/env python3
"""The whole program on a private X display, as a user meets it: overlay, tray icon and menu,
test event, single instance, quitting; and with a tray host that comes and goes. Runs inside
with-display.sh [--tray] and with-keyring.sh; starts its own accessibility bus on the keyring's
session bus to read the menu and the overlay as a screen reader does.
In the modes german and english it reads the settings window, the menu and the overlay's rows
under LANG=C and LANG=en_US.UTF-8.
    program_test.py tray|notray|german|english PROGRAM TOKEN_TOOL"""

import json
import os
import subprocess
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(here, "..", "support")]
import xdesktop as x  # noqa: E402

TEST_TEXT = "Tests bestanden · main"
MENU = ["Test-Ereignis anzeigen", "Einstellungen …", "Nach Updates suchen …", "Beenden"]
NO_TRAY_LINE = "Tarnlet: Kein Infobereich (System Tray) gefunden"
# What the program says under each locale: the settings window's title, its sidebar, the General
# pane's language picker, the menu, the test flash and the overlay's rows (the token is stored and
# GitHub unreachable, so the pull-request row is the empty one and the Actions row loads or fails).
READS = {
    "C": {
        "window": "Tarnlet Einstellungen",
        "sidebar": ["Allgemein", "Notch", "Benachrichtigungen", "GitHub Actions", "Pull Requests", "Docker",
                    "GitHub-Konto", "Updates"],
        "picker": ("Sprache", ["System", "Deutsch", "English"]),
        "menu": MENU,
        "flash": TEST_TEXT,
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
# A hang guard, not a timing check: quitting normally takes a small fraction of this.
EXIT_GUARD = 5.0

started = []  # pids this script started, stopped in reverse order


def start(argv, **kwargs):
    process = subprocess.Popen(argv, **kwargs)
    started.append(process)
    return process


def stop_all():
    for process in reversed(started):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def start_accessibility_bus():
    start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], stdout=subprocess.DEVNULL,
          stderr=subprocess.DEVNULL)
    x.wait_for(lambda: subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                       "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                                      capture_output=True).returncode == 0, what="the accessibility bus")
    import atspi_helpers  # after the bus is up
    return atspi_helpers


class MenuWatch:
    """Menus are popups, which Qt leaves out of the application's accessible tree; a screen reader
    meets them through focus events, and so does this watch."""

    def __init__(self):
        import pyatspi
        from gi.repository import GLib
        self.context = GLib.MainContext.default()
        self.focused = []
        pyatspi.Registry.registerEventListener(self.on_focus, "object:state-changed:focused")

    def on_focus(self, event):
        try:
            if event.detail1 == 1 and event.source.getRoleName() == "menu item":
                self.focused.append(event.source)
        except Exception:  # the item went away meanwhile
            pass

    def focused_item(self, timeout=20.0):
        """Waits for the next menu item to take the focus and returns it."""
        self.focused.clear()

        def probe():
            while self.context.iteration(False):
                pass
            return self.focused[-1] if self.focused else None
        return x.wait_for(probe, timeout, what="a focused menu item")


def write_preferences(values):
    folder = os.path.join(os.environ["XDG_CONFIG_HOME"], "Tarnlet")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "Tarnlet.json"), "w") as f:
        json.dump(values, f)


def launch(program, stderr_path, lang="C"):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               TARNLET_TEST_API_ROOT="https://127.0.0.1:9", LANG=lang)
    for variable in ("LANGUAGE", "LC_ALL", "LC_MESSAGES"):
        env.pop(variable, None)
    return start([program], env=env, stdout=subprocess.DEVNULL, stderr=open(stderr_path, "w"))


def settings_window_of(pid):
    windows = [w for w in x.visible_windows_of(pid, min_size=100) if w.y > 0]
    return max(windows, key=lambda w: w.width * w.height) if windows else None


def application(a11y, name):
    import pyatspi
    desktop = pyatspi.Registry.getDesktop(0)
    for app in a11y.children(desktop):
        if app is not None and app.name == name and app.childCount > 0:
            return app
    return None


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def overlay_status(a11y, app):
    """The overlay's status text, and whether it is open (its rows are then listed)."""
    bar = a11y.find(app, "status bar")
    return (bar.name, bar.childCount > 0) if bar is not None else None


def open_menu(icon, watch):
    """Opens the tray menu with a click, focuses its first entry and returns the menu."""
    x.move_away()
    x.click(*icon.centre)
    time.sleep(0.2)  # the menu maps before it takes keys
    x.keys("Down")
    return watch.focused_item().parent


def wait_for_exit(process):
    begun = time.monotonic()
    try:
        status = process.wait(timeout=EXIT_GUARD)
    except subprocess.TimeoutExpired:
        raise AssertionError("the program did not end after Beenden")
    print("ended %.0f ms after Beenden with status %d" % (1000 * (time.monotonic() - begun), status))
    return status


def with_tray(program, a11y, scratch):
    # No settings window at launch, so a second launch's request is visible.
    write_preferences({"app.showSettingsOnLaunch": False})
    first = launch(program, os.path.join(scratch, "first.err"))
    print("overlay", x.wait_for(lambda: x.overlay_of(first.pid), what="the overlay at the top centre"))
    icon = x.wait_for(lambda: x.tray_icon_of(first.pid), what="the tray icon")
    print("tray icon", icon)
    app = x.wait_for(lambda: application(a11y, "Tarnlet"), what="the program on the a11y bus")
    check(settings_window_of(first.pid) is None, "settings window shown although switched off")

    # A second launch hands over to the first and leaves.
    second = launch(program, os.path.join(scratch, "second.err"))
    check(second.wait(timeout=30) == 0, "the second launch did not end with status 0")
    x.wait_for(lambda: settings_window_of(first.pid), what="the first instance's settings window")
    check(first.poll() is None, "the first instance ended")

    # The menu: five entries in order, the separator before "Beenden".
    watch = MenuWatch()
    menu = open_menu(icon, watch)
    entries = [(a11y.role(n), n.name) for n in a11y.children(menu)]
    print("menu", entries)
    check([name for role, name in entries if role == "menu item"] == MENU, "menu entries %s" % entries)
    check([role for role, _ in entries][3] == "separator", "no separator before Beenden: %s" % entries)
    x.keys("Return")  # the focused first entry
    x.move_away()
    x.wait_for(lambda: overlay_status(a11y, app) == (TEST_TEXT, True), what="the test flash to open the overlay")
    print("flashed", overlay_status(a11y, app))

    menu = open_menu(icon, watch)
    a11y.do_action(a11y.find(menu, "menu item", "Beenden"))
    check(wait_for_exit(first) == 0, "Beenden did not end with status 0")


def reads_in(lang, program, a11y, scratch):
    """The settings window (open at launch), the menu and the opened overlay, in one language."""
    want = READS[lang]
    write_preferences({})
    process = launch(program, os.path.join(scratch, "language.err"), lang)
    icon = x.wait_for(lambda: x.tray_icon_of(process.pid), what="the tray icon")
    app = x.wait_for(lambda: application(a11y, "Tarnlet"), what="the program on the a11y bus")
    window = x.wait_for(lambda: a11y.find(app, "frame", want["window"]), what="the settings window")
    rows = [n.name for n in a11y.find_all(window, "list item")]
    check(rows == want["sidebar"], "sidebar %s" % rows)
    picker_name, segments = want["picker"]
    picker = x.wait_for(lambda: a11y.find(window, "panel", picker_name), what="the language picker")
    check([n.name for n in a11y.find_all(picker, "radio button")] == segments, "language picker")

    watch = MenuWatch()
    menu = open_menu(icon, watch)
    entries = [n.name for n in a11y.children(menu) if a11y.role(n) == "menu item"]
    print("menu", entries)
    check(entries == want["menu"], "menu entries %s" % entries)
    x.keys("Return")
    x.move_away()
    x.wait_for(lambda: overlay_status(a11y, app) == (want["flash"], True), what="the test flash")
    overlay = a11y.find(app, "status bar")
    rows = [n.name for n in a11y.find_all(overlay, "list item")]
    print("overlay rows", rows)
    check(want["pull requests"] in rows, "no pull-request row in %s" % rows)
    check(any(row in want["actions"] for row in rows), "no Actions row in %s" % rows)

    menu = open_menu(icon, watch)
    a11y.do_action(a11y.find(menu, "menu item", want["menu"][-1]))
    check(wait_for_exit(process) == 0, "quitting did not end with status 0")


def start_tray_host():
    return start(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request", "--height", "24",
                  "--SetDockType", "true", "--transparent", "false"],
                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop_tray_host(host):
    host.terminate()
    host.wait(timeout=10)


def notices(err):
    with open(err) as f:
        return [line for line in f if NO_TRAY_LINE in line]


def without_tray(program, a11y, scratch):
    """The tray host comes and goes while the program runs, as at a login with autostart."""
    write_preferences({"app.showSettingsOnLaunch": False})
    err = os.path.join(scratch, "notray.err")
    process = launch(program, err)
    x.wait_for(lambda: x.overlay_of(process.pid), what="the overlay at the top centre")
    # A tray host starting just after the program (within its wait at launch) keeps the menu.
    host = start_tray_host()
    print("tray icon", x.wait_for(lambda: x.tray_icon_of(process.pid), what="the tray icon"))
    app = x.wait_for(lambda: application(a11y, "Tarnlet"), what="the program on the a11y bus")
    time.sleep(2.5)  # past the wait at launch
    check(settings_window_of(process.pid) is None, "settings window opened although a tray host came")
    check(not notices(err), "a notice although a tray host came: %s" % notices(err))

    # The tray host ends: the window opens and offers the menu's commands, said once on stderr.
    stop_tray_host(host)
    x.wait_for(lambda: settings_window_of(process.pid), what="the settings window once the tray is gone")
    buttons = x.wait_for(lambda: [n for n in a11y.find_all(app, "push button") if n.name in MENU],
                         what="the menu's actions in the settings window")
    names = sorted(n.name for n in buttons)
    print("window offers", names)
    check(names == sorted(["Test-Ereignis anzeigen", "Nach Updates suchen …", "Beenden"]), "actions %s" % names)
    check(len(notices(err)) == 1, "expected one notice on stderr, got %s" % notices(err))
    a11y.do_action(a11y.find(app, "push button", "Test-Ereignis anzeigen"))
    x.wait_for(lambda: overlay_status(a11y, app) == (TEST_TEXT, True), what="the test flash to open the overlay")

    # A tray host turning up again gets the icon, and the commands leave the window.
    start_tray_host()
    icon = x.wait_for(lambda: x.tray_icon_of(process.pid), what="the tray icon after the tray")
    print("tray icon again", icon)
    x.wait_for(lambda: not [n for n in a11y.find_all(app, "push button") if n.name in MENU],
               what="the menu's actions to leave the settings window")

    menu = open_menu(icon, MenuWatch())
    a11y.do_action(a11y.find(menu, "menu item", "Beenden"))
    check(wait_for_exit(process) == 0, "Beenden did not end with status 0")


def main(mode, program, token_tool):
    scratch = os.environ["HOME"]  # with-keyring.sh's throw-away home
    subprocess.run([token_tool], input=b"ghp_e2eTestToken", check=True, stdout=subprocess.DEVNULL)
    try:
        a11y = start_accessibility_bus()
        if mode in ("german", "english"):
            reads_in("C" if mode == "german" else "en_US.UTF-8", program, a11y, scratch)
        else:
            (with_tray if mode == "tray" else without_tray)(program, a11y, scratch)
    finally:
        stop_all()
    print("ok")


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in ("tray", "notray", "german", "english"):
        sys.exit(__doc__)
    main(*sys.argv[1:])
