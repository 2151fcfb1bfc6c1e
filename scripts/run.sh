#!/usr/bin/env bash
# Installs what the demonstration needs, builds it and runs it in a window. Without a display it
# says so and records the bundled demo script to an animated GIF instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" demo

if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  echo "Building the demonstration and its media in build/ (the tests are built by scripts/test.sh)..."
  "$root/scripts/build.sh" "$root/build" -- ondrel
  echo "Starting build/run/ondrel"
  cd "$root/build/run"
  exec ./ondrel
fi

echo "No display to open a window on (DISPLAY is not set or cannot be reached)."
echo "Building ondrel-replay to record the bundled demo script to a GIF instead..."
"$root/scripts/build.sh" "$root/build" -- ondrel-replay
frames=$(sed -n 's/^# frames: //p' "$root/docs/demo.txt")
cd "$root/build/run"
./ondrel-replay --frames "$frames" --gif "$root/build/demo.gif" --window "$root/build/demo-last-frame.png" "$root/docs/demo.txt"
echo "The recording is at $root/build/demo.gif (last frame: $root/build/demo-last-frame.png)."
