#!/usr/bin/env bash
# Sets up the machine, builds Velmora and starts it.
#
# On a desktop (DISPLAY set) the photo program starts on that display. On a
# machine without a display it starts on a private Xvfb instead (stop it with
# Ctrl+C), and velmora-shot writes a picture of the program's screen, taken
# on the headless host, whose path is printed.
#
#   ./run.sh [ARGS...]           ARGS go to the program
#   VELMORA_BUILD_DIR=DIR ./run.sh   build in DIR (default build-release)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
build=${VELMORA_BUILD_DIR:-build-release}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
fi
binary=$build/app/velmora
cmake --build "$build" -j "$(nproc)" --target velmora velmora-shot

if [ -n "${DISPLAY:-}" ]; then
  exec "$binary" "$@"
fi

# No display: a private X server for the program.
xvfb_pid=
program_pid=
stop() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap stop EXIT
trap 'exit 130' INT TERM
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do grep -q . "$display_file" && break; sleep 0.1; done
if ! grep -q . "$display_file"; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$display_file")"
rm -f "$display_file"
"$binary" "$@" &
program_pid=$!
echo "No X display: $(basename "$binary") runs on the private display $DISPLAY (Ctrl+C stops it)."

shot_tool=$build/tools/velmora-shot/velmora-shot
if [ -x "$shot_tool" ]; then
  shot=$PWD/$build/velmora-screen.png
  if "$shot_tool" --crop -o "$shot" >/dev/null; then
    echo "A picture of its screen (taken by velmora-shot): $shot"
  else
    echo "velmora-shot could not take a picture" >&2
  fi
fi
wait "$program_pid"
