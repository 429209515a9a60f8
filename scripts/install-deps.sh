#!/usr/bin/env bash
# Installs every Debian 12 package Tarnlet needs to build, run and test; with --packaging also
# the tools scripts/check-package.sh uses to build and try the Debian package.
# Runs as root, or re-runs itself through sudo for a normal user.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi

packages=(
  # build
  build-essential cmake ninja-build pkg-config librsvg2-bin
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6svg6
  # lupdate and lrelease for the translations; Qt's own translations of its built-in texts
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  # GNOME's settings store (GSettings) for its Do Not Disturb
  libglib2.0-dev
  qtkeychain-qt6-dev libxcb-xinput-dev libxcb-shape0-dev libxcb-xfixes0-dev libxcb1-dev libx11-xcb-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxcb-xtest0-dev
  # the decoders' fuzz targets: clang with its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  # the footprint report counts wake-ups with perf
  linux-perf
  # runtime
  curl fonts-dejavu-core gnome-keyring libsecret-tools dbus-x11 gsettings-desktop-schemas
  # desktop used by the tests and the preview
  xvfb xauth xdotool trayer imagemagick xcompmgr x11-utils x11-xserver-utils openbox wmctrl
  at-spi2-core python3 python3-pyatspi
  # a wlroots desktop: sway (with swaybar) on its headless backend, with its XWayland
  sway xwayland
  # real peers in the tests
  openssl docker.io busybox-static openssh-server openssh-client
  # checks of the installed files
  desktop-file-utils
)
stamp=/var/lib/tarnlet-deps.stamp
if [ "${1:-}" = --packaging ]; then
  packages+=(lintian mmdebstrap)
  stamp=/var/lib/tarnlet-deps-packaging.stamp
fi

wanted="$(printf '%s\n' "${packages[@]}" | sort | tr '\n' ' ')"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
printf '%s' "$wanted" > "$stamp"
