#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the demonstration in a window. Without a
# display it says so and records the bundled demo script to an animated GIF instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root/build/run"

if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  exec ./ondrel
fi

echo "No display to open a window on (DISPLAY is not set or cannot be reached)."
echo "Recording the bundled demo script to a GIF instead..."
frames=$(sed -n 's/^# frames: //p' "$root/docs/demo.txt")
./ondrel-replay --frames "$frames" --gif "$root/build/demo.gif" --window "$root/build/demo-last-frame.png" "$root/docs/demo.txt"
echo "The recording is at $root/build/demo.gif (last frame: $root/build/demo-last-frame.png)."
