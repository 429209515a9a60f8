#!/usr/bin/env bash
# Runs a command inside a private D-Bus session with gnome-keyring's Secret Service unlocked by
# a test password, in a throw-away home.
# Everything started here is stopped by its pid.
#   with-keyring.sh COMMAND [ARGS...]
set -euo pipefail
scratch=$(mktemp -d)
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/run" \
  XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset GNOME_KEYRING_CONTROL SSH_AUTH_SOCK

eval "$(dbus-launch --sh-syntax)"
printf '%s' "tarnlet-test-password" > "$scratch/password"
gnome-keyring-daemon --foreground --unlock --components=secrets < "$scratch/password" > "$scratch/keyring.log" 2>&1 &
keyring=$!
trap 'kill "$keyring" "$DBUS_SESSION_BUS_PID" 2>/dev/null || true; rm -rf "$scratch"' EXIT

# Wait until the Secret Service answers on the bus.
for _ in $(seq 1 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true' && break
  sleep 0.1
done
"$@"
