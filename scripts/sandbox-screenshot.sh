#!/usr/bin/env bash
# Remakes docs/sandbox.png, the README's picture of ondrel-sandbox: a scene built with the mouse
# and keys on the headless display driver (walls, a filled cup, two taps, the water brush) after
# 400 idle turns, the same on every run; and docs/sandbox-1920x1080.png, the same strokes on a
# 1920 x 1080 scene (File > New) as the window shows it, reduced (a 1280 x 800 screen shows it so,
# at a factor of 1); and that window as a phone's 390 x 844 points at 3 device pixels a point show
# it, enlarged by a fractional factor to the phone's width (docs/sandbox-1920x1080-on-phone.png).
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
./ondrel-sandbox-shot --new 1920x1080 --screen 1170x2532@3 "$root/docs/sandbox-1920x1080-on-phone.png"
echo "Wrote $root/docs/sandbox-1920x1080-on-phone.png ($(stat -c %s "$root/docs/sandbox-1920x1080-on-phone.png") bytes)"
