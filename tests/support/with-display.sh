#!/usr/bin/env bash
# Runs a command on a private X display (Xvfb), optionally with a window manager (openbox), a tray
# host and a compositing manager. Everything started here is stopped by its pid when the command
# ends.
#   with-display.sh [--wm] [--tray] [--compositor] COMMAND [ARGS...]
# The command sees DISPLAY and QT_QPA_PLATFORM=xcb.
set -euo pipefail

wm=0 tray=0 compositor=0
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=1; shift ;;
    --tray) tray=1; shift ;;
    --compositor) compositor=1; shift ;;
    *) break ;;
  esac
done

scratch=$(mktemp -d)
pids=()
cleanup() {
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[$i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# -displayfd lets Xvfb pick a free display number, so parallel tests never collide.
Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp -noreset > "$scratch/display" 2> "$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 1 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.05
done
if [ ! -s "$scratch/display" ]; then
  echo "with-display.sh: Xvfb did not start" >&2; cat "$scratch/xvfb.log" >&2; exit 1
fi
export DISPLAY=":$(head -n1 "$scratch/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

if [ "$wm" = 1 ]; then
  openbox --sm-disable > "$scratch/openbox.log" 2>&1 &
  pids+=($!)
  # Wait until the window manager announces itself on the root window.
  for _ in $(seq 1 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then break; fi
    sleep 0.05
  done
fi
if [ "$compositor" = 1 ]; then
  xcompmgr > "$scratch/xcompmgr.log" 2>&1 &
  pids+=($!)
fi
if [ "$tray" = 1 ]; then
  trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
         --transparent false > "$scratch/trayer.log" 2>&1 &
  pids+=($!)
  # Wait until the tray host's window exists.
  for _ in $(seq 1 100); do
    if xwininfo -root -tree 2>/dev/null | grep -qi trayer; then break; fi
    sleep 0.05
  done
fi

set +e
"$@"
status=$?
set -e
exit $status
