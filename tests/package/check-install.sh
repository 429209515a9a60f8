#!/usr/bin/env bash
# Installs a build tree into a scratch prefix and checks what lands there: exactly the expected
# files, a program that speaks English on its own, valid desktop entries that start and show what
# was installed, icons of the size their folder names.
#   check-install.sh BUILD_DIR [ICON_SIZE...]
set -euo pipefail
build=$1
shift
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(bin/tarnlet bin/tarnlet-token share/applications/tarnlet.desktop share/tarnlet/tarnlet.desktop
  share/icons/hicolor/scalable/apps/tarnlet.svg share/man/man1/tarnlet.1.gz share/man/man1/tarnlet-token.1.gz
  share/doc/tarnlet/copyright share/doc/tarnlet/changelog.gz)
for size in "$@"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/tarnlet.png")
  [ "$(identify -format '%wx%h' "$prefix/${expected[-1]}")" = "${size}x${size}" ] || fail "the ${size}px icon"
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -printf '%P\n' | sort) >&2 ||
  fail "installed files differ from the expected ones (< expected, > installed)"

# The translation is built into the programs.
usage=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 "$prefix/bin/tarnlet-token" --help 2>&1 || true)
[[ "$usage" == "Usage: tarnlet-token"* ]] || fail "the installed tarnlet-token does not speak English: $usage"

# Ctrl-C at the prompt leaves the terminal echoing again.
python3 - "$prefix/bin/tarnlet-token" <<'PY' || fail "tarnlet-token leaves the terminal without echo after Ctrl-C"
import os, pty, signal, subprocess, sys, termios, time
master, slave = pty.openpty()
tool = subprocess.Popen([sys.argv[1]], stdin=slave, stdout=slave, stderr=slave, start_new_session=True)
deadline = time.monotonic() + 10
while termios.tcgetattr(slave)[3] & termios.ECHO and time.monotonic() < deadline:
    time.sleep(0.01)  # until the tool has turned echo off
tool.send_signal(signal.SIGINT)
tool.wait(10)
sys.exit(0 if termios.tcgetattr(slave)[3] & termios.ECHO else 1)
PY

for entry in "$prefix"/share/applications/tarnlet.desktop "$prefix"/share/tarnlet/tarnlet.desktop; do
  # Warnings and hints count too: a launcher that shows up twice in a menu is a fault.
  report=$(desktop-file-validate "$entry" 2>&1) || true
  [ -z "$report" ] || fail "$entry does not validate: $report"
  [ -x "$prefix/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")" ] || fail "$entry starts what was not installed"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$entry").svg" ] ||
    fail "$entry shows an icon that was not installed"
done
echo "installed tree as expected"
