"""The accessibility harness works: a running Qt window is read over AT-SPI and a check box
pressed from there changes the window."""

import sys

from atspi_helpers import Program, do_action, dump, find, states, wait_for

with Program([sys.argv[1]], "accessible-probe") as program:
    box = wait_for(lambda: find(program.app, "check box", "Probe option"), what="check box")
    assert "checked" not in states(box), dump(program.app)
    do_action(box)
    wait_for(lambda: "checked" in states(box), what="checked state")
    wait_for(lambda: find(program.app, "label", "checked"), what="label update")
print("accessibility harness ok")
