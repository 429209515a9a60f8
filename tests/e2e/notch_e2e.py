#!/usr/bin/python3
"""The overlay (notch-host) on a real X display, in three passes, each on a fresh private display:
plain (also read over the accessibility bus, as a screen reader does), composited, and on a
managed desktop (openbox, a panel reserving the top edge, a full-screen window).
    notch_e2e.py HOST SUPPORT_FOLDER
The pointer moves with `xdotool mousemove_relative`, which makes the raw motion events a real
mouse makes; screenshots come from ImageMagick's `import`."""
import json
import os
import queue
import re
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xdesktop import accessibility_bus, check, run, wait_for  # noqa: E402

BACKDROP = (0x33, 0x66, 0xAA)
STATUS = "Deploy \u00b7 staging"
NEWS = "Review angefragt: Fix login"
ROW_PAGE = r"opened https://github\.com/teskarvo/web/actions/runs/2"
DOCK_STATES = ("_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE",
               "_NET_WM_DESKTOP(CARDINAL) = 4294967295")


class Host:
    """The host program, its state lines read on a thread of their own."""

    def __init__(self, program, scratch, options):
        prefs = os.path.join(scratch, "prefs.json")
        with open(prefs, "w") as f:
            json.dump({"notch.flashDuration": 1.5}, f)
        self.process = subprocess.Popen([program, prefs, *options], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        self.lines, self.unread = queue.Queue(), []
        threading.Thread(target=lambda: [self.lines.put(line.strip()) for line in self.process.stdout],
                         daemon=True).start()

    def expect(self, pattern, timeout=5.0):
        """The first line, read or still to come, that matches; other lines stay for later."""
        deadline = time.monotonic() + timeout
        while True:
            for i, line in enumerate(self.unread):
                match = re.fullmatch(pattern, line)
                if match:
                    del self.unread[i]
                    return match
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError(f"no line matching {pattern!r}; unread: {self.unread}")
            try:
                self.unread.append(self.lines.get(timeout=left))
            except queue.Empty:
                pass

    def panel(self, pattern):
        return tuple(map(int, self.expect(pattern + r" panel=(-?\d+),(-?\d+),(\d+),(\d+)").groups()))

    def take_unread(self):
        while not self.lines.empty():
            self.unread.append(self.lines.get())
        taken, self.unread = self.unread, []
        return taken

    def send(self, text):
        self.process.stdin.write(text)
        self.process.stdin.flush()


def xdotool(*args):
    run("xdotool", *map(str, args))


def overlay_ids():
    """The overlay's mapped windows, looked up afresh (setting the panel up again makes a new one)."""
    return run("xdotool", "search", "--onlyvisible", "--name", "^Tarnlet$", check=False).split()


def move_to(x, y):
    """Moves by a relative step, so the server reports raw motion."""
    values = dict(line.split("=") for line in run("xdotool", "getmouselocation", "--shell").split())
    xdotool("mousemove_relative", "--", x - int(values["X"]), y - int(values["Y"]))


def click_at(x, y, *expected):
    xdotool("mousemove", x, y)
    xdotool("click", 1)
    return [host.expect(pattern) for pattern in expected]


class Screenshot:
    """The screen once the overlay has come to rest: two shots in a row that agree."""

    def __init__(self):
        self.width = int(re.search(r"Width: (\d+)", run("xwininfo", "-root")).group(1))
        grab = lambda: subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], check=True,
                                      capture_output=True).stdout
        shots = [grab()]
        wait_for(lambda: shots.append(grab()) or shots.pop(0) == shots[0], step=0.25, what="the screen at rest")
        self.data = shots[0]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def stray_pixels(self, area, allowed):
        """Pixels of `area` outside `allowed` (x0, y0, x1, y1) that are not the backdrop."""
        x0, y0, x1, y1 = area
        return [(x, y) for y in range(y0, y1) for x in range(x0, x1)
                if not (allowed[0] <= x < allowed[2] and allowed[1] <= y < allowed[3])
                and self.pixel(x, y) != BACKDROP]


def accessibility():
    """Collapsed, one status element named by the status text; a flash announced as a change of
    its name; open, the header and the rows as its children, a row's "Öffnen" opening its page."""
    import pyatspi
    from gi.repository import GLib
    from atspi_helpers import actions, application, children, do_action, find
    app = wait_for(lambda: application("notch-host"), what="the host on the bus")
    overlay = wait_for(lambda: find(app, "status bar"), what="the overlay element")
    check((overlay.name, overlay.childCount) == (STATUS, 0), "collapsed overlay element")
    names = []

    def on_name(event):
        names.append(event.source.name)
        if NEWS in names:
            pyatspi.Registry.stop()
    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    GLib.timeout_add(1000, lambda: host.send("flash " + NEWS + "\n"))  # once the host knows of the listener
    GLib.timeout_add(20000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    check(NEWS in names, f"the flash was not announced as a name change (saw {names})")

    wait_for(lambda: overlay.childCount == 4, what="header and rows while open")
    items = [(child.getRoleName(), child.name, actions(child)) for child in children(overlay)]
    check(items == [("heading", "Tarnlet", []), ("list item", "Deploy \u00b7 web, staging", ["\u00d6ffnen"]),
                    ("list item", "Tests \u00b7 web, main", ["\u00d6ffnen"]),
                    ("list item", "Lint \u00b7 web, feature/login", [])], items)
    do_action(children(overlay)[2], "\u00d6ffnen")
    host.expect(ROW_PAGE)
    wait_for(lambda: overlay.childCount == 0 and overlay.name == STATUS, what="the status line once the flash is over")


def overlay_checks(with_accessibility):
    x, y, w, h = host.panel("ready")
    if with_accessibility:
        accessibility()
        host.take_unread()
    shot = Screenshot()
    check((x, y, w, h) == ((shot.width - 580) // 2, 0, 580, 250), f"panel at {(x, y, w, h)}")
    middle = shot.width // 2
    notch = (middle - 110, 0, middle + 110, 32)
    around = (x - 20, 0, x + w + 20, h + 20)

    # Collapsed: the black shape, the backdrop everywhere else; clicks pass through, on the shape too.
    check(not shot.stray_pixels(around, notch), "collapsed overlay draws outside its shape")
    check(shot.pixel(middle - 100, 4) == (0, 0, 0), "collapsed shape is black")
    check(shot.pixel(notch[0], 31) == BACKDROP, "collapsed corner is rounded and clear")
    click_at(x + 10, 100, "backdrop pressed")
    click_at(middle, 10, "backdrop pressed", r"state expanded=1 pinned=1")
    click_at(100, 600, "backdrop pressed", r"state expanded=0 pinned=0")

    # The window manager sees a dock on every desktop, out of taskbar and pager.
    props = run("xprop", "-id", overlay_ids()[0])
    for needed in ("_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_STATE_STICKY") + DOCK_STATES:
        check(needed in props, f"panel lacks {needed}")

    # Resting on the notch opens it after the hover delay; moving away closes it.
    move_to(middle, 12)
    host.expect(r"state expanded=1 pinned=0")
    shot = Screenshot()
    check(not shot.stray_pixels(around, (x, 0, x + w, h)), "open overlay draws outside the panel")
    check(shot.pixel(x + 2, h - 2) == BACKDROP, "open corner is rounded and clear")
    check(shot.pixel(x + 5, 5) == (0, 0, 0), "open shape is black")
    move_to(100, 700)
    host.expect(r"state expanded=0 pinned=0")

    # A click on the notch pins it open; open, the panel takes the clicks on its shape, and a click
    # on a row opens its page without changing the pin; a click elsewhere closes it.
    move_to(middle, 12)
    xdotool("click", 1)
    host.expect(r"state expanded=1 pinned=1")
    host.expect(r"backdrop pressed")  # the collapsed panel let the pinning click through
    move_to(middle, 150)  # on the second row
    host.take_unread()
    xdotool("click", 1)
    host.expect(ROW_PAGE)
    time.sleep(0.5)
    unread = host.take_unread()
    check("backdrop pressed" not in unread, "the open shape passed a click through")
    check(not any(line.startswith("state") for line in unread), "a click on a row changed the pin")
    move_to(100, 700)
    xdotool("click", 1)
    host.expect(r"state expanded=0 pinned=0")
    check(not Screenshot().stray_pixels(around, notch), "closed again, something is left outside the shape")
    host.take_unread()
    click_at(x + 10, 100, "backdrop pressed")  # still click-through after the animations

    # A new resolution: one notice, the panel at the new top centre. The only output switched off and
    # on again: the overlay lives through it and hovering opens it.
    for command in (["--newmode", "1600x900", "100", "1600", "1700", "1800", "1900", "900", "910", "920", "930"],
                    ["--addmode", "screen", "1600x900"],
                    ["--output", "screen", "--mode", "1600x900", "--fb", "1600x900"]):
        run("xrandr", *command)
    check(host.panel("screens changed") == (510, 0, 580, 250), "panel after the change")
    time.sleep(1)
    check(not any(line.startswith("screens") for line in host.take_unread()), "one notice per change")
    subprocess.run(["xrandr", "--output", "screen", "--off"], stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    check(host.process.poll() is None, "the host ended when the only output went off")
    run("xrandr", "--output", "screen", "--mode", "1600x900", "--fb", "1600x900")
    host.expect(r"screens changed panel=510,0,580,250")
    move_to(100, 600)
    move_to(800, 10)
    host.expect(r"state expanded=1 pinned=0")


def work_area_top():
    values = re.search(r"= (\d+), (\d+), (\d+), (\d+)", run("xprop", "-root", "_NET_WORKAREA"))
    return int(values.group(2)) if values else None


def start_top_panel():
    panel = subprocess.Popen(["trayer", "--edge", "top", "--height", "32", "--SetDockType", "true",
                              "--SetPartialStrut", "true"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    others.append(panel)
    wait_for(lambda: work_area_top() == 32, what="the panel's strut in _NET_WORKAREA")
    return panel


def desktop_checks():
    """Below a top panel and hidden beside a full-screen window (xmessage, switched with wmctrl)."""
    check(host.panel("ready") == (670, 32, 580, 250), "overlay hangs from the work area")
    move_to(100, 600)
    move_to(960, 8)
    time.sleep(0.6)
    check(not host.take_unread(), "the panel's middle opens nothing")
    move_to(960, 40)
    host.expect(r"state expanded=1 pinned=0")
    move_to(100, 700)
    host.expect(r"state expanded=0 pinned=0")

    # The panel goes and comes back: the overlay follows the work area.
    panel = others.pop()
    panel.terminate()
    panel.wait(timeout=10)
    check(host.panel("screens changed") == (670, 0, 580, 250), "up to the edge without the panel")
    start_top_panel()
    check(host.panel("screens changed") == (670, 32, 580, 250), "down again below the panel")

    # A full-screen window hides the overlay; flashes wait; leaving full-screen shows the newest.
    others.append(subprocess.Popen(["xmessage", "-geometry", "300x100+200+500", "Vollbild"]))
    client = wait_for(lambda: set(run("xdotool", "search", "--class", "xmessage", check=False).split())
                      & set(run("xdotool", "getactivewindow", check=False).split()),
                      what="the other window to become active").pop()
    run("wmctrl", "-i", "-r", client, "-b", "add,fullscreen")
    wait_for(lambda: not overlay_ids(), what="the overlay to hide")
    move_to(960, 40)
    xdotool("click", 1)
    host.send("flash eins\nflash zwei\n")
    time.sleep(0.8)
    check(not host.take_unread(), "hidden, neither the pointer nor a flash opens the overlay")
    run("wmctrl", "-i", "-r", client, "-b", "remove,fullscreen")
    host.expect(r"state expanded=1 pinned=0")
    overlay = wait_for(overlay_ids, what="the overlay to show again")[0]
    host.expect(r"status zwei")
    check(not any("eins" in line for line in host.take_unread()), "only the newest flash waited")
    props = run("xprop", "-id", overlay)
    for needed in DOCK_STATES:  # what openbox supports
        check(needed in props, f"shown again, the overlay lacks {needed}")


PASSES = {"plain": [], "composited": ["--compositor"], "desktop": ["--wm"]}

if __name__ == "__main__":
    if sys.argv[1] == "--inner":
        kind, program = sys.argv[2], sys.argv[3]
        others = []
        if kind == "desktop":
            start_top_panel()
        if kind == "plain":
            others.append(accessibility_bus())
        with tempfile.TemporaryDirectory() as scratch:
            host = Host(program, scratch, () if kind == "desktop" else ("--backdrop", "#3366aa"))
            try:
                desktop_checks() if kind == "desktop" else overlay_checks(kind == "plain")
            finally:
                for process in [host.process] + others:
                    process.terminate()
                    process.wait(timeout=10)
    else:
        program, support = sys.argv[1], sys.argv[2]
        for kind, options in PASSES.items():
            print("pass", kind, flush=True)
            bus = [os.path.join(support, "with-keyring.sh")] if kind == "plain" else []  # a private session bus
            subprocess.run([os.path.join(support, "with-display.sh"), *options, *bus, sys.executable, __file__,
                            "--inner", kind, program], check=True)
        print("ok")
