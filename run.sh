#!/usr/bin/env bash
# Sets up the machine, builds Velmora and starts it on the current X display.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target velmora
exec build-release/app/velmora "$@"
