#!/usr/bin/env bash
# Remakes docs/sandbox.png, the README's picture of ondrel-sandbox: a scene built with the mouse
# and keys on the headless display driver (walls, a filled cup, two taps, the water brush) after
# 400 idle turns, the same on every run. scripts/sandbox-screenshot.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/build.sh" "$build" -- ondrel-sandbox-shot
cd "$build/run"
./ondrel-sandbox-shot "$root/docs/sandbox.png"
echo "Wrote $root/docs/sandbox.png ($(stat -c %s "$root/docs/sandbox.png") bytes)"
