#!/usr/bin/python3
"""The overlay on a managed desktop: openbox, a panel reserving the top edge, a full-screen window.

Run inside `with-display.sh --wm`: desktop_e2e.py HOST. The panel is trayer with a strut along the
top; a second X client (xmessage) is made full-screen and back with wmctrl.
"""
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from notch_e2e import Host, check, move_to, xdotool  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xdesktop import run, wait_for, window  # noqa: E402


def work_area_top():
    values = re.search(r"= (\d+), (\d+), (\d+), (\d+)", run("xprop", "-root", "_NET_WORKAREA"))
    return int(values.group(2)) if values else None


def start_top_panel():
    panel = subprocess.Popen(["trayer", "--edge", "top", "--height", "32", "--SetDockType", "true",
                              "--SetPartialStrut", "true"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(lambda: work_area_top() == 32, what="the panel's strut in _NET_WORKAREA")
    return panel


def stop(process):
    process.terminate()
    process.wait(timeout=10)


def panel_line(host, pattern):
    return tuple(map(int, host.expect(pattern + r" panel=(-?\d+),(-?\d+),(\d+),(\d+)").groups()))


def main(program):
    top_panel = start_top_panel()
    others = []
    with tempfile.TemporaryDirectory() as scratch:
        host = Host(program, os.path.join(scratch, "prefs.json"), options=())
        try:
            # Below the panel, not over its middle; hovering there opens, the panel's middle does not.
            check(panel_line(host, "ready") == (670, 32, 580, 250), "overlay hangs from the work area")
            move_to(100, 600)
            move_to(960, 8)
            time.sleep(0.6)
            check(not host.take_unread(), "the panel's middle opens nothing")
            move_to(960, 40)
            host.expect(r"state expanded=1 pinned=0")
            move_to(100, 700)
            host.expect(r"state expanded=0 pinned=0")

            # The panel goes and comes back: the overlay follows the work area.
            stop(top_panel)
            check(panel_line(host, "screens changed") == (670, 0, 580, 250), "up to the edge without the panel")
            top_panel = start_top_panel()
            check(panel_line(host, "screens changed") == (670, 32, 580, 250), "down again below the panel")

            # A full-screen window hides the overlay; flashes wait; leaving full-screen shows the newest.
            overlay = run("xdotool", "search", "--name", "^Tarnlet$").split()[0]
            other = subprocess.Popen(["xmessage", "-geometry", "300x100+200+500", "Vollbild"])
            others.append(other)
            # The window manager makes the new window the active one.
            client = wait_for(lambda: set(run("xdotool", "search", "--class", "xmessage", check=False).split())
                              & set(run("xdotool", "getactivewindow", check=False).split()),
                              what="the other window to become active").pop()
            run("wmctrl", "-i", "-r", client, "-b", "add,fullscreen")
            wait_for(lambda: not window(overlay).viewable, what="the overlay to hide")
            move_to(960, 40)
            xdotool("click", 1)
            host.process.stdin.write("flash eins\nflash zwei\n")
            host.process.stdin.flush()
            time.sleep(0.8)
            unread = host.take_unread()
            check(not unread, f"hidden, neither the pointer nor a flash opens the overlay: {unread}")

            run("wmctrl", "-i", "-r", client, "-b", "remove,fullscreen")
            host.expect(r"state expanded=1 pinned=0")
            wait_for(lambda: window(overlay).viewable, what="the overlay to show again")
            host.expect(r"status zwei")
            check(not any("eins" in line for line in host.take_unread()), "only the newest flash waited")
            # Openbox keeps what it supports: on all desktops, above, out of taskbar and pager.
            props = run("xprop", "-id", overlay)
            for needed in ("_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE",
                           "_NET_WM_DESKTOP(CARDINAL) = 4294967295"):
                check(needed in props, f"shown again, the overlay lacks {needed}: {props}")
        finally:
            host.stop()
            for process in others + [top_panel]:
                stop(process)
    print("ok")


if __name__ == "__main__":
    main(sys.argv[1])
