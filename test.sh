#!/usr/bin/env bash
# Sets up the machine, builds Velmora with its tests and runs every test.
#   ./test.sh            debug build in build/
#   BUILD_DIR=... CMAKE_ARGS=... ./test.sh   another build (the sanitizer run in CI)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900
