#!/usr/bin/python3
"""The overlay on a real X display, with and without a compositing manager.

notch_e2e.py HOST WITH_DISPLAY  runs the checks twice, each time on a fresh private display.
The pointer moves with `xdotool mousemove_relative`, which makes the raw motion events a real
mouse makes; screenshots come from ImageMagick's `import`.
"""
import os
import queue
import re
import subprocess
import sys
import tempfile
import threading
import time

BACKDROP = (0x33, 0x66, 0xAA)


class Host:
    """The host program, its state lines read on a thread of their own."""

    def __init__(self, program, prefs, options=("--backdrop", "#3366aa")):
        self.process = subprocess.Popen([program, prefs, *options], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        self.lines = queue.Queue()
        self.unread = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())

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

    def take_unread(self):
        while not self.lines.empty():
            self.unread.append(self.lines.get())
        taken, self.unread = self.unread, []
        return taken

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], check=True, capture_output=True,
                         text=True).stdout
    values = dict(line.split("=") for line in out.split())
    return int(values["X"]), int(values["Y"])


def move_to(x, y):
    """Moves by a relative step, so the server reports raw motion."""
    px, py = pointer()
    xdotool("mousemove_relative", "--", x - px, y - py)


class Screenshot:
    def __init__(self):
        info = subprocess.run(["xwininfo", "-root"], check=True, capture_output=True, text=True).stdout
        self.width = int(re.search(r"Width: (\d+)", info).group(1))
        self.height = int(re.search(r"Height: (\d+)", info).group(1))
        self.data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], check=True,
                                   capture_output=True).stdout

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def stray_pixels(self, area, allowed):
        """Pixels of `area` outside `allowed` (x0, y0, x1, y1) that are not the backdrop."""
        x0, y0, x1, y1 = area
        return [(x, y) for y in range(y0, y1) for x in range(x0, x1)
                if not (allowed[0] <= x < allowed[2] and allowed[1] <= y < allowed[3])
                and self.pixel(x, y) != BACKDROP]


def settled_screenshot():
    """The screen once the overlay has come to rest: two shots in a row that agree (a fixed pause
    is too short on a loaded machine)."""
    time.sleep(0.5)
    shot = Screenshot()
    for _ in range(40):
        time.sleep(0.25)
        following = Screenshot()
        if following.data == shot.data:
            break
        shot = following
    return shot


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def run_checks(program):
    with tempfile.TemporaryDirectory() as scratch:
        host = Host(program, os.path.join(scratch, "prefs.json"))
        try:
            x, y, w, h = map(int, host.expect(r"ready panel=(-?\d+),(-?\d+),(\d+),(\d+)").groups())
            shot = settled_screenshot()
            check((x, y, w, h) == ((shot.width - 580) // 2, 0, 580, 250), f"panel at {(x, y, w, h)}")
            middle = shot.width // 2
            notch = (middle - 110, 0, middle + 110, 32)

            # Collapsed: the black shape and its status line, the backdrop everywhere else.
            stray = shot.stray_pixels((x - 20, 0, x + w + 20, h + 20), notch)
            check(not stray, f"collapsed overlay draws outside its shape: {stray[:5]}")
            check(shot.pixel(middle - 100, 4) == (0, 0, 0), "collapsed shape is black")
            check(shot.pixel(notch[0], 31) == BACKDROP, "collapsed corner is rounded and clear")

            # Collapsed, the panel lets clicks through, on the shape too.
            for point in ((x + 10, 100), (middle, 10)):
                xdotool("mousemove", *point)
                xdotool("click", 1)
                host.expect(r"backdrop pressed")
            host.expect(r"state expanded=1 pinned=1")
            xdotool("mousemove", 100, 600)
            xdotool("click", 1)
            host.expect(r"backdrop pressed")
            host.expect(r"state expanded=0 pinned=0")

            # The window manager sees a dock on every desktop, out of taskbar and pager.
            window = subprocess.run(["xdotool", "search", "--name", "^Tarnlet$"], check=True, capture_output=True,
                                    text=True).stdout.split()[0]
            props = subprocess.run(["xprop", "-id", window], check=True, capture_output=True, text=True).stdout
            for needed in ("_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
                           "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE", "_NET_WM_DESKTOP(CARDINAL) = 4294967295"):
                check(needed in props, f"panel lacks {needed}")

            # Resting on the notch opens it after the hover delay.
            xdotool("mousemove", 100, 600)
            move_to(middle, 12)
            host.expect(r"state expanded=1 pinned=0")
            shot = settled_screenshot()
            stray = shot.stray_pixels((x - 20, 0, x + w + 20, h + 20), (x, 0, x + w, h))
            check(not stray, f"open overlay draws outside the panel: {stray[:5]}")
            check(shot.pixel(x + 2, h - 2) == BACKDROP, "open corner is rounded and clear")
            check(shot.pixel(x + 5, 5) == (0, 0, 0), "open shape is black")

            # Moving away closes the unpinned overlay.
            move_to(100, 700)
            host.expect(r"state expanded=0 pinned=0")

            # A click on the notch pins it open; moving away keeps it; a second click closes it.
            # Open, the panel takes the clicks on its shape.
            move_to(middle, 12)
            xdotool("click", 1)
            host.expect(r"state expanded=1 pinned=1")
            host.expect(r"backdrop pressed")  # the collapsed panel let the pinning click through
            move_to(middle, 150)  # on the second row
            host.take_unread()
            xdotool("click", 1)
            host.expect(r"opened https://github\.com/teskarvo/web/actions/runs/2")
            time.sleep(0.5)
            unread = host.take_unread()
            check("backdrop pressed" not in unread, "the open shape passed a click through")
            check(not any(line.startswith("state") for line in unread), "a click on a row changed the pin")
            move_to(100, 700)
            xdotool("click", 1)
            host.expect(r"backdrop pressed")
            host.expect(r"state expanded=0 pinned=0")
            move_to(middle, 12)
            xdotool("click", 1)
            host.expect(r"state expanded=1 pinned=1")
            move_to(100, 700)
            time.sleep(0.8)
            move_to(middle, 12)
            xdotool("click", 1)
            host.expect(r"state expanded=0 pinned=0")
            shot = settled_screenshot()
            stray = shot.stray_pixels((x - 20, 0, x + w + 20, h + 20), notch)
            check(not stray, f"closed again, nothing left outside the shape: {stray[:5]}")
            xdotool("mousemove", x + 10, 100)
            xdotool("click", 1)
            host.expect(r"backdrop pressed")  # still click-through after the animations

            # A new resolution: one notice, the panel at the new top centre, hovering there opens.
            for command in (["--newmode", "1600x900", "100", "1600", "1700", "1800", "1900", "900", "910", "920",
                             "930"], ["--addmode", "screen", "1600x900"],
                            ["--output", "screen", "--mode", "1600x900", "--fb", "1600x900"]):
                subprocess.run(["xrandr", *command], check=True)
            moved = host.expect(r"screens changed panel=(-?\d+),(-?\d+),(\d+),(\d+)")
            check(tuple(map(int, moved.groups())) == (510, 0, 580, 250), f"panel after the change {moved.groups()}")
            time.sleep(1)
            check(not any(line.startswith("screens") for line in host.take_unread()), "one notice per change")
            move_to(100, 600)
            move_to(800, 10)
            host.expect(r"state expanded=1 pinned=0")
        finally:
            host.stop()


def main():
    if sys.argv[1] == "--inner":
        run_checks(sys.argv[2])
        return
    program, with_display = sys.argv[1], sys.argv[2]
    for extra in ([], ["--compositor"]):
        print("display", extra or "without compositor", flush=True)
        subprocess.run([with_display, *extra, sys.executable, __file__, "--inner", program], check=True)
    print("ok")


if __name__ == "__main__":
    main()
