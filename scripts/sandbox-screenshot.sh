#!/usr/bin/env bash
# Remakes docs/sandbox.png, the README's picture of ondrel-sandbox: a scene built with the mouse
# and keys on the headless display driver (walls, a filled cup, two taps, the water brush) after
# 400 idle turns, the same on every run; and docs/sandbox-1920x1080.png, the same strokes on a
# 1920 x 1080 scene (File > New) as the window shows it, reduced.
# scripts/sandbox-screenshot.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/build.sh" "$build" -- ondrel-sandbox-shot
cd "$build/run"
./ondrel-sandbox-shot "$root/docs/sandbox.png"
echo "Wrote $root/docs/sandbox.png ($(stat -c %s "$root/docs/sandbox.png") bytes)"
./ondrel-sandbox-shot --new 1920x1080 "$root/docs/sandbox-1920x1080.png"
echo "Wrote $root/docs/sandbox-1920x1080.png ($(stat -c %s "$root/docs/sandbox-1920x1080.png") bytes)"
