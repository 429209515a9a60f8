"""Drives programs on an X display with the standard X tools (xdotool, xwininfo, ImageMagick's
import): finds their windows, clicks, presses keys, takes screenshots."""
import os
import re
import subprocess
import time


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True).stdout


def accessibility_bus():
    """The AT-SPI bus on the session bus, once it answers; programs started afterwards expose their tree."""
    os.environ.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    wait_for(lambda: run("dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                         "org.a11y.Bus.GetAddress", check=False), what="the accessibility bus")
    return bus


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for(probe, timeout=20.0, step=0.05, what="condition"):
    """The first truthy result of probe, which is called until then or until the timeout."""
    deadline = time.monotonic() + timeout
    while not (result := probe()):
        check(time.monotonic() < deadline, "timed out waiting for " + what)
        time.sleep(step)
    return result


class Window:
    def __init__(self, wid, x, y, width, height, viewable, name=""):
        self.id, self.x, self.y, self.width, self.height = wid, x, y, width, height
        self.viewable, self.name, self.centre = viewable, name, (x + width // 2, y + height // 2)


def window(wid):
    """The window's place on the screen, or None once it is gone."""
    try:
        info = run("xwininfo", "-id", str(wid))
    except subprocess.CalledProcessError:
        return None
    field = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
    return Window(str(wid), field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                  field("Height"), "IsViewable" in info)


def visible_windows_of(pid, min_size=0):
    found = (window(wid) for wid in run("xdotool", "search", "--pid", str(pid), check=False).split())
    return [w for w in found if w is not None and w.viewable and min(w.width, w.height) >= min_size]


def overlay_of(pid):
    """The process's overlay: a window hanging from the top edge of the screen, centred."""
    width = screen_size()[0]
    return next((w for w in visible_windows_of(pid, min_size=8)
                 if w.y == 0 and abs(w.x + w.width / 2 - width / 2) <= 1 and w.width > 64), None)


def tray_icon_of(pid):
    """The process's icon embedded in the tray host: a small window of its own."""
    return next((w for w in visible_windows_of(pid) if w.width <= 64 and w.height <= 64), None)


def screen_size():
    return tuple(int(n) for n in run("xdotool", "getdisplaygeometry").split())


def click(x, y, button=1):
    run("xdotool", "mousemove", str(x), str(y), "click", str(button))


def move_away():
    """Parks the pointer in the bottom-left corner, away from the overlay."""
    run("xdotool", "mousemove", "0", str(screen_size()[1] - 1))


def keys(*names):
    run("xdotool", "key", *names)


def screenshot(path, win=None):
    """The whole screen, or one window's area of it (as composited, with what lies beneath)."""
    crop = ["-crop", "%dx%d+%d+%d" % (win.width, win.height, win.x, win.y), "+repage"] if win else []
    run("import", "-window", "root", *crop, path)
