"""Small helpers for driving a program on an X display with the standard X tools (xdotool,
xwininfo, ImageMagick's import): find its windows, click, press keys, take screenshots. Used by
the whole-program tests, the accessibility helpers and scripts/preview.py."""

import os
import re
import subprocess
import time


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True).stdout


def accessibility_bus():
    """Launches the AT-SPI bus on the session bus (a private one: with-keyring.sh), as a screen
    reader's desktop has it, and returns its process once it answers; the programs started after
    this expose their accessibility tree."""
    os.environ.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    wait_for(lambda: subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                     "org.a11y.Bus.GetAddress"], capture_output=True).returncode == 0,
             what="the accessibility bus")
    return bus


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for(probe, timeout=20.0, step=0.05, what="condition"):
    """Calls probe until it returns something truthy; returns that, or raises after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


class Window:
    def __init__(self, wid, x, y, width, height, viewable, name):
        self.id, self.x, self.y, self.width, self.height = wid, x, y, width, height
        self.viewable, self.name = viewable, name

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2

    def __repr__(self):
        return "Window(%s '%s' %dx%d+%d+%d%s)" % (self.id, self.name, self.width, self.height, self.x, self.y,
                                                   "" if self.viewable else " unmapped")


def window(wid):
    """The window's place on the screen, or None once it is gone."""
    try:
        info = run("xwininfo", "-id", str(wid))
    except subprocess.CalledProcessError:
        return None
    field = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
    name = re.search(r'xwininfo: Window id: \S+ (?:"(.*)")?', info)
    return Window(str(wid), field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                  field("Height"), "IsViewable" in info, (name.group(1) or "") if name else "")


def visible_windows_of(pid, min_size=0):
    """The process's mapped windows of at least that width and height."""
    found = (window(line) for line in run("xdotool", "search", "--pid", str(pid), check=False).split())
    return [w for w in found if w is not None and w.viewable and min(w.width, w.height) >= min_size]


def overlay_of(pid):
    """The process's overlay: a window hanging from the top edge of the screen, centred."""
    width = screen_size()[0]
    for w in visible_windows_of(pid, min_size=8):
        if w.y == 0 and abs(w.x + w.width / 2 - width / 2) <= 1 and w.width > 64:
            return w
    return None


def tray_icon_of(pid):
    """The process's icon embedded in the tray host: a small viewable window of its own."""
    icons = [w for w in visible_windows_of(pid) if w.width <= 64 and w.height <= 64]
    return icons[0] if icons else None


def screen_size():
    info = run("xwininfo", "-root")
    return (int(re.search(r"Width:\s+(\d+)", info).group(1)), int(re.search(r"Height:\s+(\d+)", info).group(1)))


def click(x, y, button=1):
    run("xdotool", "mousemove", str(x), str(y), "click", str(button))


def move_away():
    """Parks the pointer in the bottom-left corner, away from the overlay."""
    run("xdotool", "mousemove", "0", str(screen_size()[1] - 1))


def keys(*names):
    run("xdotool", "key", *names)


def screenshot(path, win=None):
    """The whole screen, or one window's area of it (as composited, with what lies beneath)."""
    if win is None:
        run("import", "-window", "root", path)
    else:
        run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (win.width, win.height, win.x, win.y), "+repage",
            path)
