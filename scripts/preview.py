#!/usr/bin/env python3
"""Shows Tarnlet for a few seconds on the current (private) X display and saves screenshots: the
overlay collapsed, the overlay expanded by the test event from the tray menu, and the settings
window. Run it inside tests/support/with-display.sh --tray.
    preview.py PROGRAM OUTPUT_FOLDER"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import xdesktop as x  # noqa: E402


def main(program, folder):
    os.makedirs(folder, exist_ok=True)
    log = open(os.path.join(folder, "tarnlet.log"), "w")
    process = subprocess.Popen([program], stdout=log, stderr=subprocess.STDOUT)
    try:
        x.wait_for(lambda: x.overlay_of(process.pid), what="the overlay")
        x.move_away()
        icon = x.wait_for(lambda: x.tray_icon_of(process.pid), what="the tray icon")
        time.sleep(1.0)  # first paint of every window
        # Both overlay shots show the same area: where the expanded overlay hangs.
        width = x.screen_size()[0]
        area = x.Window("area", width // 2 - 320, 0, 640, 280, True, "")
        shots = {name: os.path.join(folder, name + ".png") for name in ("overlay-collapsed", "overlay-expanded",
                                                                         "settings")}
        x.screenshot(shots["overlay-collapsed"], area)
        settings = max((w for w in x.visible_windows_of(process.pid) if w.y > 0), key=lambda w: w.width * w.height)
        x.screenshot(shots["settings"], settings)

        before = {w.id for w in x.visible_windows_of(process.pid)}
        x.click(*icon.centre)
        menu = x.wait_for(lambda: [w for w in x.visible_windows_of(process.pid, min_size=20) if w.id not in before],
                          what="the tray menu")[0]
        x.keys("Down", "Return")  # the first entry: "Test-Ereignis anzeigen"
        x.wait_for(lambda: x.window(menu.id) is None or not x.window(menu.id).viewable, what="the menu to close")
        x.move_away()
        time.sleep(1.0)  # the opening animation
        x.screenshot(shots["overlay-expanded"], area)

        for path in shots.values():
            print(path)
    finally:
        process.terminate()
        process.wait(timeout=10)
        log.close()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
