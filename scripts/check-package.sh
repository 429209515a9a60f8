#!/usr/bin/env bash
# Builds the Debian package and tries it on a fresh Debian 12 root: apt installs it and resolves
# its declared dependencies, every program and the X11 platform plugin find all their libraries,
# tarnlet-token answers, tarnlet starts under Xvfb and keeps running, and the package removes
# cleanly. Takes a few minutes; the first run makes the Debian root (kept in build/debian12/).
# Runs as root (it uses chroot and mounts); not part of the regular test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
scripts/install-deps.sh --packaging

build=build/package
cache=build/debian12
base=$cache/bookworm-apt.tar

echo "== building the package"
scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DTARNLET_BUILD_TESTS=OFF
rm -f "$build"/tarnlet_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/tarnlet_*.deb)

echo "== dpkg-deb -I $deb"
dpkg-deb -I "$deb"
echo "== dpkg-deb -c $deb"
dpkg-deb -c "$deb"
echo "== lintian"
status=0
report=$(lintian --pedantic --fail-on error,warning "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" = 0 ] || { echo "lintian found faults" >&2; exit 1; }
echo "lintian --pedantic: no complaints"

# The bare root: Debian's essential packages and apt, nothing else, so that anything the package
# needs but does not declare is missing there.
mkdir -p "$cache/apt-archives/partial"
if [ ! -f "$base" ]; then
  echo "== making the Debian 12 root (once)"
  mmdebstrap --variant=apt --format=tar bookworm "$base.part"
  mv "$base.part" "$base"
fi

root=$(mktemp -d "$PWD/$cache/root.XXXXXX")
# The mounts live in a private mount namespace (below) and are gone before this runs; should one
# still be there, the root is left alone rather than deleted through it.
cleanup() {
  if grep -q " $root/" /proc/self/mounts; then
    echo "still mounted below $root: left in place" >&2
  else
    rm -rf "$root"
  fi
}
trap cleanup EXIT
tar -C "$root" -xf "$base"
cp "$deb" "$root/tmp/tarnlet.deb"
cp tests/support/with-display.sh "$root/usr/local/bin/"
rm -f "$root/etc/resolv.conf"
cat /etc/resolv.conf > "$root/etc/resolv.conf"

# What runs inside the fresh root.
inside() {
  set -euo pipefail
  export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
  failures=0
  fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

  echo "== apt-get install ./tarnlet.deb (without recommended packages)"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends /tmp/tarnlet.deb >/tmp/apt.log 2>&1 || {
    cat /tmp/apt.log; exit 1
  }
  grep -c '^Setting up' /tmp/apt.log | sed 's/$/ packages set up/'
  dpkg -s tarnlet | grep -E '^(Status|Version):'

  echo "== ldd"
  plugins=$(find /usr/lib -path '*/qt6/plugins/*' \( -name libqxcb.so -o -name libqopensslbackend.so \))
  grep -q libqxcb.so <<<"$plugins" || fail "the Qt X11 platform plugin was not installed"
  for binary in /usr/bin/tarnlet /usr/bin/tarnlet-token $plugins; do
    missing=$(ldd "$binary" | grep 'not found' || true)
    if [ -n "$missing" ]; then fail "$binary: $missing"; else echo "$binary: all libraries found"; fi
  done

  echo "== tarnlet-token </dev/null"
  status=0
  output=$(tarnlet-token </dev/null 2>&1) || status=$?
  echo "$output"
  echo "exit status $status"
  [ "$status" = 1 ] && grep -q "Kein Token gelesen" <<<"$output" || fail "tarnlet-token did not refuse empty input"

  echo "== tarnlet under Xvfb for 5 s (no network)"
  apt-get install -y -qq --no-install-recommends xvfb >/dev/null 2>&1
  export XDG_RUNTIME_DIR=/tmp/runtime
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  # A network namespace of its own keeps the program's GitHub and update requests on this host.
  unshare --net -- with-display.sh bash -c '
    tarnlet > /tmp/tarnlet.log 2>&1 &
    pid=$!
    sleep 5
    if kill -0 "$pid" 2>/dev/null; then
      echo "tarnlet (pid $pid) still running after 5 s"
      kill "$pid"; wait "$pid" 2>/dev/null || true
    else
      wait "$pid" && status=0 || status=$?
      echo "tarnlet exited early with status $status"; cat /tmp/tarnlet.log; exit 1
    fi' || fail "tarnlet did not keep running"
  echo "its output:"
  sed 's/^/  /' /tmp/tarnlet.log
  grep -qiE 'could not (load|find) the qt platform plugin|cannot open shared object' /tmp/tarnlet.log &&
    fail "tarnlet reported a missing plugin or library"

  echo "== apt-get purge tarnlet"
  apt-get purge -y -qq tarnlet >/dev/null 2>&1
  leftovers=$(ls /usr/bin/tarnlet* /usr/share/tarnlet /usr/share/doc/tarnlet 2>/dev/null || true)
  if [ -n "$leftovers" ]; then fail "left behind: $leftovers"; else echo "removed without leftovers"; fi

  [ "$failures" = 0 ] && echo "PACKAGE CHECK PASSED" || { echo "PACKAGE CHECK FAILED ($failures)"; exit 1; }
}

# A private mount and pid namespace: the chroot's mounts vanish and any process left inside ends
# when this command does.
unshare --mount --pid --fork --kill-child -- bash -c '
  set -euo pipefail
  root=$1 archives=$2
  mount --bind /dev "$root/dev"
  mount -t proc proc "$root/proc"
  mkdir -p "$root/var/cache/apt/archives"
  mount --bind "$archives" "$root/var/cache/apt/archives"
  chroot "$root" /bin/bash -c "$3; inside"
' check-package "$root" "$PWD/$cache/apt-archives" "$(declare -f inside)"
