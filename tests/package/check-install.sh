#!/usr/bin/env bash
# Installs a build tree into a scratch prefix and checks what lands there: exactly the expected
# files, runnable programs, desktop entries that validate and point at what was installed, icons
# of the size their folder names, readable manual pages.
#   check-install.sh BUILD_DIR [ICON_SIZE...]
set -euo pipefail

build=$1
shift
sizes=("$@")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/tarnlet
  bin/tarnlet-token
  share/applications/tarnlet.desktop
  share/tarnlet/tarnlet.desktop
  share/icons/hicolor/scalable/apps/tarnlet.svg
  share/man/man1/tarnlet.1.gz
  share/man/man1/tarnlet-token.1.gz
  share/doc/tarnlet/copyright
  share/doc/tarnlet/changelog.gz
)
for size in "${sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/tarnlet.png")
done

# Anything missing or unexpected in the tree would end up wrong in the package too.
actual=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" != "$wanted" ]; then
  fail "installed files differ from the expected ones (< expected, > installed):"
  diff <(echo "$wanted") <(echo "$actual") >&2 || true
fi

# The English translation is built into the programs: the installed tool runs and speaks it on its
# own. (The program itself must be what the desktop entries start.)
usage=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 XDG_CONFIG_HOME="$prefix" \
  "$prefix/bin/tarnlet-token" --help 2>&1 || true)
[[ "$usage" == "Usage: tarnlet-token"* ]] || fail "the installed tarnlet-token does not speak English: $usage"

for entry in share/applications/tarnlet.desktop share/tarnlet/tarnlet.desktop; do
  file=$prefix/$entry
  [ -f "$file" ] || continue
  # Warnings and hints count too: a launcher that shows up twice in a menu is a fault.
  report=$(desktop-file-validate "$file" 2>&1) || true
  [ -z "$report" ] || fail "$entry does not validate: $report"
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$file")
  icon=$(sed -n 's/^Icon=//p' "$file")
  [ -x "$prefix/bin/$exec" ] || fail "$entry starts '$exec', which was not installed"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$entry shows icon '$icon', which was not installed"
done

for size in "${sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/tarnlet.png
  [ -f "$png" ] || continue
  dims=$(identify -format '%wx%h' "$png")
  [ "$dims" = "${size}x${size}" ] || fail "${size}x${size} icon is $dims"
done

for page in tarnlet tarnlet-token; do
  gz=$prefix/share/man/man1/$page.1.gz
  [ -f "$gz" ] || continue
  gzip -dc "$gz" | grep -q "^\.TH ${page^^} 1" || fail "manual page $page.1.gz is not a section-1 page for $page"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures problem(s) in the installed tree" >&2
  exit 1
fi
echo "installed tree as expected: ${#expected[@]} files"
