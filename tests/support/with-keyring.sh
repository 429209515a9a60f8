#!/usr/bin/env bash
# Runs a command inside a private D-Bus session with gnome-keyring's Secret Service unlocked by
# a test password, in a throw-away home. Everything started here is stopped by its pid.
#   with-keyring.sh [--locked] COMMAND [ARGS...]
set -euo pipefail

locked=0
if [ "${1:-}" = "--locked" ]; then locked=1; shift; fi

scratch=$(mktemp -d)
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset GNOME_KEYRING_CONTROL SSH_AUTH_SOCK

bus_pid=""
keyring_pid=""
cleanup() {
  [ -n "$keyring_pid" ] && kill "$keyring_pid" 2>/dev/null || true
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

eval "$(dbus-launch --sh-syntax)"
bus_pid=$DBUS_SESSION_BUS_PID
export DBUS_SESSION_BUS_ADDRESS

printf '%s' "tarnlet-test-password" > "$scratch/password"
gnome-keyring-daemon --foreground --unlock --components=secrets < "$scratch/password" > "$scratch/keyring.log" 2>&1 &
keyring_pid=$!

# Wait until the Secret Service answers on the bus.
for _ in $(seq 1 100); do
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
       string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true'; then
    break
  fi
  sleep 0.1
done

if [ "$locked" = 1 ]; then
  # Lock every collection, as after a screen lock.
  dbus-send --session --print-reply --dest=org.freedesktop.secrets /org/freedesktop/secrets \
    org.freedesktop.Secret.Service.Lock array:objpath:/org/freedesktop/secrets/collection/login >/dev/null
fi

set +e
"$@"
status=$?
set -e
exit $status
