#!/usr/bin/env bash
# Runs a command on a private X display (Xvfb), optionally with a window manager (openbox), a tray
# host and a compositing manager; everything started here is stopped by its pid afterwards.
#   with-display.sh [--wm] [--tray] [--compositor] COMMAND [ARGS...]
# The command sees DISPLAY and QT_QPA_PLATFORM=xcb.
set -euo pipefail
scratch=$(mktemp -d)
pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
# Retries a command for up to five seconds.
await() {
  for _ in $(seq 1 100); do
    "$@" >/dev/null 2>&1 && return
    sleep 0.05
  done
}

# -displayfd lets Xvfb pick a free display number, so parallel tests never collide.
Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp -noreset > "$scratch/display" &
pids+=($!)
await test -s "$scratch/display"
[ -s "$scratch/display" ] || { echo "with-display.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$scratch/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

while [ $# -gt 0 ]; do
  case "$1" in
    --wm) openbox --sm-disable >/dev/null 2>&1 &
      pids+=($!)
      await sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ;;
    --compositor) xcompmgr >/dev/null 2>&1 &
      pids+=($!) ;;
    --tray) trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
        --transparent false >/dev/null 2>&1 &
      pids+=($!)
      await sh -c 'xwininfo -root -tree | grep -qi trayer' ;;
    *) break ;;
  esac
  shift
done
"$@"
