#!/usr/bin/env bash
# Runs a command with a private accessibility bus, as a screen reader's desktop would have it: a
# private D-Bus session, the AT-SPI bus launched at once inside it, and Qt told to expose its
# accessibility tree. Use it inside with-display.sh; what it starts is stopped by its pid.
#   with-atspi.sh COMMAND [ARGS...]
set -euo pipefail

scratch=$(mktemp -d)
chmod 700 "$scratch"
bus_pid="" launcher_pid=""
cleanup() {
  [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null && wait "$launcher_pid" 2>/dev/null || true
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
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
  sleep 0.05
done

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
set +e
"$@"
status=$?
set -e
exit $status
