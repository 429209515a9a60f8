#!/usr/bin/env bash
# Runs a command beside sway, the wlroots compositor, on its headless backend (no screen, no input
# devices), with XWayland and swaybar as a bar along the top edge; everything started here is stopped
# by its pid afterwards. sway refuses to run as root, so root runs it as nobody.
#   with-sway.sh COMMAND [ARGS...]
# The command sees SWAYSOCK (for swaymsg), WAYLAND_DISPLAY, DISPLAY (sway's XWayland) and
# QT_QPA_PLATFORM=xcb; it exits with 77 (skipped) where sway is not installed or cannot start.
set -euo pipefail
command -v sway >/dev/null && command -v Xwayland >/dev/null || { echo "with-sway.sh: sway or Xwayland missing" >&2; exit 77; }
scratch=$(mktemp -d)
chmod 755 "$scratch"
pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# Its own runtime directory and home; the clients of its XWayland may be of any local user.
mkdir -m 700 "$scratch/run" "$scratch/home"
cat > "$scratch/config" <<CONFIG
xwayland enable
output * resolution 1920x1080
bar {
  position top
  height 30
  status_command echo Leiste
}
exec sh -c 'xhost +local: >/dev/null; echo "\$DISPLAY" > $scratch/run/display'
CONFIG
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$scratch/run" "$scratch/home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -i PATH=/usr/bin:/bin HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run" WLR_BACKENDS=headless \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_user[@]}" sway -c "$scratch/config" > "$scratch/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 200); do
  [ -s "$scratch/run/display" ] && break
  kill -0 "${pids[0]}" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$scratch/run/display" ]; then
  echo "with-sway.sh: sway did not start:" >&2
  tail -n 20 "$scratch/sway.log" >&2
  exit 77
fi
export SWAYSOCK=$(ls "$scratch"/run/sway-ipc.*.sock) WAYLAND_DISPLAY="$scratch/run/wayland-1"
export DISPLAY=$(cat "$scratch/run/display") QT_QPA_PLATFORM=xcb
"$@"
