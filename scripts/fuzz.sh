#!/usr/bin/env bash
# Fuzzes the decoders: fuzz.sh [SECONDS per target, default 60] [names, e.g. workflow_runs; default all]
# Builds the fuzz targets with clang in build/fuzz, runs each from its seeds (and the test
# fixtures) in a fresh corpus, saves what breaks a decoder in build/fuzz-crashes/<target>/ and
# reports runs and findings per target. Long runs go in pieces of at most three minutes, each
# holding the build lock (TARNLET_BUILD_LOCK, default /tmp/tarnlet-build.lock) only for itself,
# so that builds on the same machine get their turn in between.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
lock=${TARNLET_BUILD_LOCK:-/tmp/tarnlet-build.lock}
piece=180

scripts/install-deps.sh
flock "$lock" scripts/build.sh build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTARNLET_FUZZ=ON
# Each line: a program, then its seed folders.
mapfile -t lines < build/fuzz/fuzz-targets.txt
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
crashes=build/fuzz-crashes
mkdir -p "$crashes"
found=0
printf '%-26s %12s %8s %10s\n' target runs seconds findings
for line in "${lines[@]}"; do
  read -r target seeds <<<"$line"
  name=${target#fuzz_}
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
    continue
  fi
  corpus=$work/$name
  mkdir -p "$corpus" "$crashes/$target"
  before=$(find "$crashes/$target" -type f | wc -l)
  runs=0 left=$seconds status=0
  while [ "$left" -gt 0 ] && [ "$status" -eq 0 ]; do
    now=$((left < piece ? left : piece))
    left=$((left - now))
    # The first corpus folder takes the new inputs; the seed folders are only read.
    flock "$lock" build/fuzz/fuzz/"$target" -max_total_time="$now" -timeout=10 -rss_limit_mb=2048 \
      -dict=fuzz/json.dict -artifact_prefix="$crashes/$target/" -print_final_stats=1 \
      "$corpus" $seeds >"$work/$name.log" 2>&1 || status=$?
    piece_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log" | tail -1)
    runs=$((runs + ${piece_runs:-0}))
  done
  findings=$(($(find "$crashes/$target" -type f | wc -l) - before))
  printf '%-26s %12s %8s %10s\n' "$target" "$runs" "$seconds" "$findings"
  if [ "$status" -ne 0 ]; then
    found=1
    grep -E 'ERROR|runtime error|property broken|Test unit written' "$work/$name.log" | head -5 | sed 's/^/    /'
  fi
done
if [ "$found" -ne 0 ]; then
  echo "Inputs that broke a decoder are in $crashes/; once mended, each becomes a seed in fuzz/seeds/."
  exit 1
fi
