#!/usr/bin/env bash
# Configures and builds one build folder: build.sh DIR [extra CMake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
if [ -n "${SUDO_USER:-}" ] && [ "$(id -u)" -eq 0 ]; then
  echo "build.sh: run the scripts as yourself; they call sudo for the install step only" >&2
fi
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j2
