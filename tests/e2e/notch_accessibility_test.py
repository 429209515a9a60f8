"""The overlay as a screen reader meets it over AT-SPI: collapsed one status element named by the
status text, expanded the header and the rows as its children, each flash sent as a change of the
element's name, and a row's "Öffnen" action opening its page.

notch_accessibility_test.py HOST  (under with-display.sh and with-atspi.sh)
"""
import json
import os
import signal
import subprocess
import sys
import tempfile

import pyatspi
from gi.repository import GLib

from atspi_helpers import actions, children, do_action, dump, find, wait_for

STATUS = "Deploy \u00b7 staging"
NEWS = "Review angefragt: Fix login"


with tempfile.TemporaryDirectory() as scratch:
    prefs = os.path.join(scratch, "prefs.json")
    with open(prefs, "w") as f:
        json.dump({"notch.flashDuration": 1.5}, f)
    output = os.path.join(scratch, "host.out")
    host = subprocess.Popen([sys.argv[1], prefs], stdin=subprocess.PIPE, stdout=open(output, "w"))
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for(lambda: next((a for a in children(desktop) if a is not None and a.name == "notch-host"
                                     and a.childCount > 0), None), what="notch-host on the bus")

        overlay = wait_for(lambda: find(app, "status bar"), what="the overlay element")
        assert overlay.name == STATUS, dump(app)
        assert overlay.childCount == 0, dump(app)

        # Listen the way a screen reader does: inside the accessibility main loop.
        names = []

        def on_name(event):
            names.append(event.source.name)
            if NEWS in names:
                pyatspi.Registry.stop()

        def flash():
            host.stdin.write(("flash " + NEWS + "\n").encode())
            host.stdin.flush()
            return False

        def give_up():
            pyatspi.Registry.stop()
            return False

        pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
        GLib.timeout_add(1000, flash)  # once the program knows of the listener
        GLib.timeout_add(20000, give_up)
        pyatspi.Registry.start()
        assert NEWS in names, f"the flash was not announced as a name change (saw {names})"

        wait_for(lambda: overlay.childCount == 4, what="header and rows while open")
        items = [(child.getRoleName(), child.name, actions(child)) for child in children(overlay)]
        assert items == [("heading", "Tarnlet", []),
                         ("list item", "Deploy \u00b7 web, staging", ["\u00d6ffnen"]),
                         ("list item", "Tests \u00b7 web, main", ["\u00d6ffnen"]),
                         ("list item", "Lint \u00b7 web, feature/login", [])], items
        do_action(children(overlay)[2], "\u00d6ffnen")
        wait_for(lambda: "opened https://github.com/teskarvo/web/actions/runs/2\n" in open(output).read(),
                 what="the row's page opened")

        wait_for(lambda: overlay.childCount == 0, what="one element again once the flash is over")
        wait_for(lambda: overlay.name == STATUS, what="the status line back once the flash is over")
    finally:
        os.kill(host.pid, signal.SIGTERM)
        host.wait(timeout=10)
print("overlay accessibility ok")
