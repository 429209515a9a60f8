#!/usr/bin/python3
"""sway_e2e.py HOST: the overlay on sway's XWayland (run by with-sway.sh), beside a tiled X11 window
and swaybar's 30-point bar at the top edge, moved by the compositor's own (virtual) pointer. The
bar's exclusive zone is not in XWayland's work area, so the overlay hangs from the top edge, over
the middle of the bar (a dock bar lies below windows that sway does not manage), until
"notch.topOffset" (the Notch pane's "Abstand oben") keeps it below the bar."""
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import notch_e2e as overlay  # noqa: E402
from notch_e2e import CLOSED, OPEN, after, expect, panel  # noqa: E402
from wl_pointer import VirtualPointer  # noqa: E402
from xdesktop import check, run, screen_size, wait_for  # noqa: E402


def views():
    """The names of the windows sway manages (tiled or floating)."""
    def walk(node):
        yield from ([node["name"]] if node.get("pid") else [])
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            yield from walk(child)
    return list(walk(json.loads(run("swaymsg", "-t", "get_tree"))))


def rest_on(x, y):
    """Comes to rest at a point as a hand does, the last step slow (a pointer rushing past the notch
    does not open it)."""
    pointer.move_to(x - 1, y)
    time.sleep(0.1)
    pointer.move_to(x, y)


def run_host(*options):
    overlay.start_host(sys.argv[1], *options)
    return panel("ready")


def stop_host():
    overlay.host.terminate()
    overlay.host.wait(timeout=10)


if __name__ == "__main__":
    width, height = screen_size()
    middle = width // 2
    pointer = VirtualPointer(width, height)
    window = subprocess.Popen(["xmessage", "-name", "Fenster", "Fenster"])
    try:
        wait_for(lambda: "Fenster" in views(), what="the tiled window")
        check("_NET_WORKAREA" not in run("xprop", "-root"), "XWayland learnt the bar's zone after all")

        # Left alone, the overlay hangs from the top edge over the bar, not tiled, and opens there.
        x, y, w, h = run_host()
        check((x, y, w) == (middle - 290, 0, 580), f"panel at {(x, y, w, h)}")
        check("Tarnlet" not in views(), f"sway manages the overlay: {views()}")
        rest_on(middle, 15)
        expect(OPEN)
        stop_host()

        # With the bar's height as the offset it hangs below the bar, above the tiled window:
        # resting on it opens it, leaving closes it, a click on it pins it.
        x, y, w, h = run_host("--top-offset", "30")
        check((x, y, w) == (middle - 290, 30, 580), f"panel at {(x, y, w, h)}")
        pointer.move_to(100, 600)
        rest_on(middle, 45)
        expect(OPEN)
        pointer.move_to(100, 600)
        expect(CLOSED)
        rest_on(middle - 100, 40)
        pointer.click()
        expect(r"state expanded=1 pinned=1 .*")
        check("Tarnlet" not in views() and "Fenster" in views(), "windows after the overlay opened")
        stop_host()
    finally:
        if overlay.host.poll() is None:
            stop_host()
        window.terminate()
        window.wait(timeout=10)
    print("ok")
