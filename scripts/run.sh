#!/usr/bin/env bash
# Installs what Tarnlet needs, builds it (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DTARNLET_BUILD_TESTS=OFF
exec build/release/src/app/tarnlet "$@"
