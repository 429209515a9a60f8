#!/usr/bin/env bash
# Installs what the tests need, builds everything (Debug, warnings as errors) and runs every
# test. The tests start their own display, keyring, servers and Docker engine, and stop them.
# Then builds the decoders' fuzz targets with clang and runs each for a few seconds (label fuzz).
# Both builds compile each library and program as one unit (CMake's unity build): Qt's
# headers are read once per target instead of once per file (the widgets library: 14 s of CPU
# instead of 36 s).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/test -DCMAKE_BUILD_TYPE=Debug -DTARNLET_WERROR=ON -DTARNLET_BUILD_BENCH=ON \
  -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0
ctest --test-dir build/test --output-on-failure -j2 "$@"
scripts/build.sh build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTARNLET_FUZZ=ON \
  -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0
ctest --test-dir build/fuzz --output-on-failure -j2 "$@"
