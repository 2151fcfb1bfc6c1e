#!/usr/bin/env bash
# Installs what the demonstration needs, builds it and runs it in a window. Without a display it
# says so and records the bundled demo script to an animated GIF instead.
#   scripts/run.sh           the demonstration, ondrel
#   scripts/run.sh gallery   ondrel-gallery, the framework's showcase (without a display: a
#                            picture of its Sprites page, build/gallery.png)
#   scripts/run.sh sandbox   ondrel-sandbox, the water toy (without a display: a picture of a
#                            scene built in it, build/sandbox.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in
  "") program=ondrel ;;
  gallery) program=ondrel-gallery ;;
  sandbox) program=ondrel-sandbox ;;
  *) echo "usage: $0 [gallery|sandbox]" >&2; exit 2 ;;
esac
"$root/scripts/install-deps.sh" demo

if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  echo "Building $program and its media in build/ (the tests are built by scripts/test.sh)..."
  "$root/scripts/build.sh" "$root/build" -- "$program"
  echo "Starting build/run/$program"
  cd "$root/build/run"
  exec "./$program"
fi

echo "No display to open a window on (DISPLAY is not set or cannot be reached)."
if [ "$program" != ondrel ]; then
  # The gallery and the sandbox draw a picture of themselves on the headless driver instead.
  picture=${program#ondrel-}.png
  echo "Building $program-shot to draw a picture of $program instead..."
  "$root/scripts/build.sh" "$root/build" -- "$program-shot"
  cd "$root/build/run"
  "./$program-shot" "$root/build/$picture"
  echo "The picture is at $root/build/$picture."
  exit 0
fi
echo "Building ondrel-replay to record the bundled demo script to a GIF instead..."
"$root/scripts/build.sh" "$root/build" -- ondrel-replay
frames=$(sed -n 's/^# frames: //p' "$root/docs/demo.txt")
cd "$root/build/run"
./ondrel-replay --frames "$frames" --gif "$root/build/demo.gif" --window "$root/build/demo-last-frame.png" "$root/docs/demo.txt"
echo "The recording is at $root/build/demo.gif (last frame: $root/build/demo-last-frame.png)."
