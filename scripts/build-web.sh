#!/usr/bin/env bash
# Builds Ondrel's web page: scripts/build-web.sh [WEB_BUILD_FOLDER]   (default: build-web)
# Installs what it needs, compiles the media with a native build in build/ (ondrel-media is a
# tool, not a page), then builds the programs with emscripten into WEB_BUILD_FOLDER/site: a
# folder of static files for any web server: index.html, the front page, linking each program's
# page (ondrel.html with ondrel.js, .wasm and .data; gallery.html; ...) and its source.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
web=${1:-$root/build-web}
"$root/scripts/install-deps.sh" web

echo "Compiling the media in build/ ..."
"$root/scripts/build.sh" "$root/build" -- ondrel-media-files

echo "Building the page in $web ..."
# emscripten's own JavaScript tools look for their modules where Debian puts them.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S "$root" -B "$web" -DCMAKE_BUILD_TYPE=Release -DONDREL_WERROR=ON \
  -DONDREL_TESTS=OFF -DONDREL_BENCHMARKS=OFF -DONDREL_WEB_DATA_DIR="$root/build/run" >/dev/null
cmake --build "$web" -j "$(nproc)"
echo "The page is in $web/site; scripts/serve-web.sh serves it on http://127.0.0.1:8000/"
