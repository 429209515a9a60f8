#!/usr/bin/env bash
# Measures the whole program as a user runs it all day, all three modules on, the settings window
# closed and no network: start to overlay shown (median of several launches), memory after a
# minute idle next to a minimal Qt Widgets program with one tray icon and one frameless window
# (resident, and the anonymous part: heap and stacks, where growth would show), idle CPU,
# wake-ups per second, and the resident memory again with 20 watched repositories instead of one. Everything runs on a private X display with a tray host and a private
# keyring holding a token; the GitHub API address points at a local port nobody listens on.
#   bench/app/footprint.sh [LAUNCHES] [IDLE_SECONDS]
# Builds build/bench (Release) first. Not part of the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/bench"
launches=${1:-9}
idle=${2:-60}

if [ "${FOOTPRINT_INSIDE:-}" != 1 ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNLET_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" -j2 --target tarnlet-testhooks tarnlet-token tarnlet-map-timer tarnlet-baseline
  export FOOTPRINT_INSIDE=1
  exec "$root/tests/support/with-display.sh" --tray "$root/tests/support/with-keyring.sh" "$0" "$@"
fi

program="$build/src/app/tarnlet-testhooks"
baseline="$build/bench/app/tarnlet-baseline"
printf '%s' "ghp_footprintBenchToken" | "$build/src/app/tarnlet-token" >/dev/null
export TARNLET_TEST_API_ROOT=https://127.0.0.1:9
mkdir -p "$XDG_CONFIG_HOME/Tarnlet"
echo '{"app.showSettingsOnLaunch": false}' > "$XDG_CONFIG_HOME/Tarnlet/Tarnlet.json"

# Start to overlay: the first window the X server maps for a fresh process.
times=()
for _ in $(seq 1 "$launches"); do
  times+=("$("$build/bench/app/tarnlet-map-timer" "$program" 2>/dev/null)")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')

# CPU ticks, context switches of all threads, resident memory in KiB.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {s += $2} END {print s}'; }
rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
anonymous() { awk '/^Anonymous:/ {print $2}' "/proc/$1/smaps_rollup"; }

"$program" >/dev/null 2>&1 &
tarnlet=$!
"$baseline" >/dev/null 2>&1 &
base=$!
trap 'kill $tarnlet $base 2>/dev/null || true; wait $tarnlet $base 2>/dev/null || true' EXIT
sleep 5 # start-up done, modules in their pauses
t0=$(ticks $tarnlet); s0=$(switches $tarnlet); b0=$(switches $base)
sleep "$idle"
t1=$(ticks $tarnlet); s1=$(switches $tarnlet); b1=$(switches $base)
rss_tarnlet=$(rss $tarnlet); rss_base=$(rss $base)
anon_tarnlet=$(anonymous $tarnlet); anon_base=$(anonymous $base)
hz=$(getconf CLK_TCK)

echo "Start to overlay shown, median of $launches: $median ms (target under 300 ms; all: ${times[*]})"
awk -v t="$rss_tarnlet" -v b="$rss_base" 'BEGIN {
  printf "Resident memory after %s s idle: Tarnlet %.1f MiB, baseline %.1f MiB, ratio %.2f (target at most 1.3)\n",
         '"$((idle + 5))"', t / 1024, b / 1024, t / b }'
awk -v t="$anon_tarnlet" -v b="$anon_base" 'BEGIN {
  printf "Anonymous memory (heap and stacks) of that: Tarnlet %.1f MiB, baseline %.1f MiB, ratio %.2f\n",
         t / 1024, b / 1024, t / b }'
awk -v d="$((t1 - t0))" -v hz="$hz" -v s="$idle" 'BEGIN {
  printf "Idle CPU over %d s: %.3f %% of one core (target under 0.1 %%)\n", s, 100 * d / hz / s }'
awk -v a="$((s1 - s0))" -v b="$((b1 - b0))" -v s="$idle" 'BEGIN {
  printf "Wake-ups per second while idle: Tarnlet %.2f, baseline %.2f\n", a / s, b / s }'

# The same program watching 20 repositories (one Tarnlet per display: the first one ends first).
kill $tarnlet 2>/dev/null || true
wait $tarnlet 2>/dev/null || true
repos=$(seq 1 20 | awk '{printf "%s\"bench/repo%d\"", NR > 1 ? ", " : "", $1}')
echo '{"app.showSettingsOnLaunch": false, "github.repositories": ['"$repos"']}' > "$XDG_CONFIG_HOME/Tarnlet/Tarnlet.json"
"$program" >/dev/null 2>&1 &
tarnlet=$!
sleep "$((idle + 5))"
rss_twenty=$(rss $tarnlet)
awk -v one="$rss_tarnlet" -v twenty="$rss_twenty" 'BEGIN {
  printf "Resident memory watching 1 and 20 repositories: %.1f MiB and %.1f MiB, growth %.2f MiB (target at most 1 MiB)\n",
         one / 1024, twenty / 1024, (twenty - one) / 1024 }'
