#!/usr/bin/env bash
# Sets up the machine, builds Velmora and starts it on the current X display.
# Until the photo program is part of the build, the toolkit gallery (every
# component on one form) starts instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
if ninja -C build-release -t targets all 2>/dev/null | grep -q '^velmora: '; then
  target=velmora binary=build-release/app/velmora
else
  target=velmora-gallery binary=build-release/tools/gallery/velmora-gallery
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: set DISPLAY (for example DISPLAY=:0 ./run.sh)" >&2
  exit 1
fi
cmake --build build-release -j "$(nproc)" --target "$target"
exec "$binary" "$@"
