#!/usr/bin/env bash
# Remakes docs/gallery.png, the README's picture of ondrel-gallery: its Sprites page as the
# headless display driver shows it after 90 idle turns (1.44 s of its virtual clock), the same on
# every run. scripts/gallery-screenshot.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/build.sh" "$build" -- ondrel-gallery-shot
cd "$build/run"
./ondrel-gallery-shot "$root/docs/gallery.png" 3 90
echo "Wrote $root/docs/gallery.png ($(stat -c %s "$root/docs/gallery.png") bytes)"
