#!/usr/bin/env bash
# The whole footprint report in one run: the program's start-up, memory, idle CPU and wake-ups
# beside the minimal Qt baseline (bench/app/footprint.sh), then the pointer-event and decoding
# benchmarks and a simulated hour of GitHub, GitLab and CI-feed polls, all from the Release build
# in build/bench.
# Not part of the test suite.
#   bench/footprint-report.sh [LAUNCHES] [IDLE_SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNLET_BUILD_BENCH=ON \
  -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 >/dev/null
cmake --build "$build" -j2 --target notch-bench tarnlet_github_decode_bench \
  tarnlet_github_poll_hour_bench tarnlet_gitlab_poll_hour_bench tarnlet_cctray_poll_hour_bench >/dev/null

echo "== Whole program (Release, private X display with a tray host) =="
"$root/bench/app/footprint.sh" "$@" | grep -v '^\['

# Only the medians: the figures that go beside each other in the report.
run_bench() {
  QT_QPA_PLATFORM=offscreen "$1" --benchmark_format=console 2>/dev/null \
    | awk '/^-+$/ {table = 1; next} table && ($1 !~ /_(mean|stddev|cv)$/) {print "  " $0}'
}
echo
echo "== Pointer events and overlay frames (median of 5 repetitions) =="
run_bench "$build/bench/notch/notch-bench"
echo
echo "== Decoding GitHub answers =="
run_bench "$build/bench/modules/github/tarnlet_github_decode_bench"
echo
echo "== GitHub polls over one simulated hour, without and with conditional requests =="
QT_QPA_PLATFORM=offscreen "$build/bench/modules/github/tarnlet_github_poll_hour_bench" 2>/dev/null
echo
echo "== GitLab polls over one simulated hour, without and with conditional requests =="
QT_QPA_PLATFORM=offscreen "$build/bench/modules/gitlab/tarnlet_gitlab_poll_hour_bench" 2>/dev/null
echo
echo "== CI feed polls over one simulated hour, without and with conditional requests =="
QT_QPA_PLATFORM=offscreen "$build/bench/modules/cctray/tarnlet_cctray_poll_hour_bench" 2>/dev/null
