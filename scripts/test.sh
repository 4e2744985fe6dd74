#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, window
# tests included (in a private Xvfb when there is no display).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${TS_BUILD_DIR:-$top/build}"

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

source "$top/scripts/xvfb.sh"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600
