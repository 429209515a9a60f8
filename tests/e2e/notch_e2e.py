#!/usr/bin/python3
"""notch_e2e.py plain|composited|desktop HOST: the overlay on a private X display, bare, composited,
or below a panel and beside a full-screen window under openbox.
`xdotool mousemove_relative` makes the raw motion events of a real mouse, a plain move none."""
import os
import queue
import re
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xdesktop import check, click, run, screen_size, wait_for  # noqa: E402

BACKDROP = (0x33, 0x66, 0xAA)
ROW_PAGE = r"opened https://github\.com/teskarvo/web/actions/runs/2"
OPEN, PINNED, CLOSED = (f"state expanded={e} pinned={p} .*" for e, p in ((1, 0), (1, 1), (0, 0)))
DOCK = ("_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
        "_NET_WM_STATE_ABOVE", "_NET_WM_DESKTOP(CARDINAL) = 4294967295")


def expect(*patterns):
    """Reads the host's lines until one matched each pattern, in any order; returns those read."""
    left, read = list(patterns), []
    while left:
        try:
            read.append(lines.get(timeout=5))
        except queue.Empty:
            raise AssertionError(f"no line matching {left} after {read}") from None
        left = [pattern for pattern in left if not re.fullmatch(pattern, read[-1])]
    return read


def panel(event):
    return tuple(int(n) for n in re.findall(r"-?\d+", expect(event + r" panel=.*")[-1]))


def after(seconds):
    """The lines that arrive within that time (and those not read yet)."""
    time.sleep(seconds)
    return [lines.get() for _ in range(lines.qsize())]


def overlay_ids():
    """Looked up afresh: setting the panel up again makes a new window."""
    return run("xdotool", "search", "--onlyvisible", "--name", "^Tarnlet$", check=False).split()


def has_states(states):
    props = run("xprop", "-id", overlay_ids()[0])
    check(all(state in props for state in states), f"the overlay lacks some of {states}: {props}")


def move_to(x, y):
    """Moves as a hand does: quickly most of the way, then a last slow point onto the target (a
    pointer that only rushes past the notch does not open it)."""
    at = dict(line.split("=") for line in run("xdotool", "getmouselocation", "--shell").split())
    run("xdotool", "mousemove_relative", "--", str(x - int(at["X"]) - 1), str(y - int(at["Y"])))
    time.sleep(0.05)
    run("xdotool", "mousemove_relative", "--", "1", "0")


def screen():
    """The screen's pixels once two screenshots in a row agree (the overlay is at rest)."""
    grab = lambda: subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], check=True,
                                  capture_output=True).stdout
    shots = [grab()]
    wait_for(lambda: shots.append(grab()) or shots.pop(0) == shots[0], step=0.25, what="the screen at rest")
    width = screen_size()[0]
    return lambda x, y: tuple(shots[0][3 * (y * width + x):3 * (y * width + x) + 3])


def strays(pixel, area, allowed):
    """Pixels in `area` but outside `allowed` (x0, y0, x1, y1) that are not the backdrop."""
    return [(x, y) for y in range(area[1], area[3]) for x in range(area[0], area[2])
            if not (allowed[0] <= x < allowed[2] and allowed[1] <= y < allowed[3]) and pixel(x, y) != BACKDROP]


def overlay_checks():
    x, y, w, h = panel("ready")
    middle = screen_size()[0] // 2
    check((x, y, w) == (middle - 290, 0, 580), f"panel at {(x, y, w, h)}")
    notch, around = (middle - 110, 0, middle + 110, 32), (x - 20, 0, x + w + 20, h + 20)
    # Collapsed, only the black shape with its rounded corners shows, and clicks pass through it,
    # while a click on the notch pins it open.
    pixel = screen()
    check(not strays(pixel, around, notch) and pixel(middle - 100, 4) == (0, 0, 0) and pixel(notch[0], 31) == BACKDROP,
          "collapsed shape")
    has_states(DOCK)
    click(middle, 10)
    expect("backdrop pressed", PINNED)
    pixel = screen()
    check(not strays(pixel, around, (x, 0, x + w, h)) and pixel(x + 2, h - 2) == BACKDROP
          and pixel(x + 5, 5) == (0, 0, 0), "open shape")

    # Open, the shape takes the clicks; one on a row opens its page and keeps the pin, one beside closes.
    move_to(middle, 150)
    after(0)
    run("xdotool", "click", "1")
    expect(ROW_PAGE)
    check(after(0.5) == [], "a click on a row went through or changed the pin")
    move_to(100, 700)
    run("xdotool", "click", "1")
    expect(CLOSED)
    check(not strays(screen(), around, notch), "closed again, something is left outside the shape")

    # Resting on the notch opens it; moving away closes it.
    move_to(middle, 12)
    expect(OPEN)
    move_to(100, 700)
    expect(CLOSED)

    # A new resolution: one notice, the panel at the new top centre; the only output switched off
    # and on again: the overlay lives through it and opens under the pointer.
    run("xrandr", "--newmode", "1600x900", "100", "1600", "1700", "1800", "1900", "900", "910", "920", "930")
    run("xrandr", "--addmode", "screen", "1600x900")
    run("xrandr", "--output", "screen", "--mode", "1600x900", "--fb", "1600x900")
    check(panel("screens changed") == (510, 0, 580, h), "panel after the change")
    check(not any(line.startswith("screens") for line in after(1)), "one notice per change")
    subprocess.run(["xrandr", "--output", "screen", "--off"], stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    check(host.poll() is None, "the host ended when the only output went off")
    run("xrandr", "--output", "screen", "--mode", "1600x900", "--fb", "1600x900")
    check(panel("screens changed") == (510, 0, 580, h), "panel after the output came back")
    move_to(100, 600)
    move_to(800, 10)
    expect(OPEN)


def start_top_panel():
    others.append(subprocess.Popen(["trayer", "--edge", "top", "--height", "32", "--SetDockType", "true",
                                    "--SetPartialStrut", "true"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_for(lambda: ", 32, " in run("xprop", "-root", "_NET_WORKAREA"), what="the panel's strut in the work area")


def desktop_checks():
    """Below a top panel, and hidden beside a full-screen window (xmessage, switched with wmctrl)."""
    # The overlay hangs from the work area, also when the panel goes and comes back.
    x, y, w, h = panel("ready")
    check((x, y, w) == (670, 32, 580), "overlay below the panel")
    top = others.pop()
    top.terminate()
    top.wait(timeout=10)
    check(panel("screens changed") == (670, 0, 580, h), "up to the edge without the panel")
    start_top_panel()
    check(panel("screens changed") == (670, 32, 580, h), "down again below the panel")

    # A full-screen window hides the overlay; flashes wait; leaving full-screen shows the newest.
    others.append(subprocess.Popen(["xmessage", "-geometry", "300x100+200+500", "Vollbild"]))
    client = wait_for(lambda: set(run("xdotool", "search", "--class", "xmessage", check=False).split())
                      & set(run("xdotool", "getactivewindow", check=False).split()),
                      what="the other window to become active").pop()
    run("wmctrl", "-i", "-r", client, "-b", "add,fullscreen")
    wait_for(lambda: not overlay_ids(), what="the overlay to hide")
    move_to(960, 40)
    run("xdotool", "click", "1")
    host.stdin.write("eins\nzwei\n")
    host.stdin.flush()
    check(not after(0.8), "hidden, neither the pointer nor a flash opens the overlay")
    run("wmctrl", "-i", "-r", client, "-b", "remove,fullscreen")
    seen = expect(r"state expanded=1 pinned=0 status=zwei") + after(0.5)
    check(not any("eins" in line for line in seen), "only the newest flash waited")
    has_states(DOCK[2:])  # what openbox supports


def start_host(*command):
    """Starts the host; expect(), after() and panel() read its lines from then on."""
    global host, lines
    host = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(line.strip()) for line in host.stdout], daemon=True).start()
    return host


if __name__ == "__main__":
    kind, program = sys.argv[1:]
    others = []
    if kind == "desktop":
        start_top_panel()
    start_host(program, *([] if kind == "desktop" else ["#3366aa"]))
    try:
        desktop_checks() if kind == "desktop" else overlay_checks()
    finally:
        for process in [host] + others:
            process.terminate()
            process.wait(timeout=10)
    print("ok")
