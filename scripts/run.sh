#!/usr/bin/env bash
# Installs what Tarnlet needs, builds it (Release) and starts it. On a machine without a display
# it shows Tarnlet for a few seconds on a private X display with a tray host instead, and saves
# screenshots of the overlay (collapsed and expanded) and of the settings window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DTARNLET_BUILD_TESTS=OFF
program="$PWD/build/release/src/app/tarnlet"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

echo "No display here: showing Tarnlet on a private Xvfb for a few seconds and saving screenshots."
out="$PWD/build/preview"
# A private display, tray host, session bus and keyring, in a throw-away home: all stopped again
# by their pids when the preview ends, and nothing of the user's own is touched.
tests/support/with-display.sh --tray --compositor tests/support/with-keyring.sh \
  /usr/bin/python3 scripts/preview.py "$program" "$out" | sed 's/^/  saved /'
