#!/usr/bin/env bash
# Installs what the tests need, builds everything (Debug, warnings as errors) and runs every
# test. The tests start their own display, keyring, servers and Docker engine, and stop them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/test -DCMAKE_BUILD_TYPE=Debug -DTARNLET_WERROR=ON -DTARNLET_BUILD_BENCH=ON
ctest --test-dir build/test --output-on-failure -j2 "$@"
