#!/usr/bin/env bash
# Runs a command with a private accessibility bus, as a screen reader's desktop would have it:
# a private D-Bus session (dbus-launch), the AT-SPI bus launched at once inside it, and Qt told
# to expose its accessibility tree (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1). Use it inside
# with-display.sh. Everything started here is stopped by its pid when the command ends.
#   with-atspi.sh COMMAND [ARGS...]
# The command sees DBUS_SESSION_BUS_ADDRESS, PYTHONPATH with atspi_helpers.py and
# TARNLET_PYTHON (/usr/bin/python3, which carries pyatspi).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
chmod 700 "$scratch"
bus_pid="" launcher_pid=""
cleanup() {
  [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null || true
  [ -n "$launcher_pid" ] && wait "$launcher_pid" 2>/dev/null || true
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A runtime folder of our own keeps the accessibility bus socket apart from parallel runs.
export XDG_RUNTIME_DIR="$scratch"
eval "$(dbus-launch --sh-syntax)"
bus_pid=$DBUS_SESSION_BUS_PID
export DBUS_SESSION_BUS_ADDRESS

/usr/libexec/at-spi-bus-launcher --launch-immediately > "$scratch/launcher.log" 2>&1 &
launcher_pid=$!
for _ in $(seq 1 100); do
  if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
       > /dev/null 2>&1; then break; fi
  sleep 0.05
done

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_ACCESSIBILITY=1
export NO_AT_BRIDGE=0
export TARNLET_PYTHON=/usr/bin/python3
export PYTHONPATH="$here${PYTHONPATH:+:$PYTHONPATH}"

set +e
"$@"
status=$?
set -e
exit $status
