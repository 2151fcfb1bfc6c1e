#!/usr/bin/env bash
# The web package as a consumer takes it: this web build installed into a prefix, then the
# examples and the template built against it with find_package (emcmake), each into a page:
# its HTML, which loads its script, and the script, WebAssembly and data files beside it, with
# its manifest, and its files kept by the site's service worker.
# Argument: the web build folder (built).
set -euo pipefail
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/consumer
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in lib/libondrel_web.a lib/cmake/Ondrel/OndrelConfig.cmake lib/cmake/Ondrel/page.html \
            lib/cmake/Ondrel/OndrelWebApp.cmake lib/cmake/Ondrel/offline.js lib/cmake/Ondrel/ondrel-icon-192.png \
            share/ondrel/Media/font8x12.fon share/ondrel/web/index.html share/ondrel/web/ondrel.html share/ondrel/web/ondrel.wasm \
            share/ondrel/web/gallery.html share/ondrel/web/ondrel-gallery.data share/ondrel/web/ondrel.webmanifest \
            share/ondrel/web/ondrel-offline.js share/ondrel/web/ondrel-icon-512.png; do
  [ -f "$prefix/$file" ] || { echo "the web install lacks $file"; exit 1; }
done
cp -r "$root/examples" "$work/"
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
for project in examples examples/template; do
  out=$work/build-${project//\//-}
  emcmake cmake -S "$work/$project" -B "$out" -DOndrel_DIR="$prefix/lib/cmake/Ondrel" -DCMAKE_BUILD_TYPE=Release \
    >"$out.log" 2>&1 && cmake --build "$out" -j "$(nproc)" >>"$out.log" 2>&1 ||
    { cat "$out.log"; echo "building $project for the web failed"; exit 1; }
done
for page in build-examples/site/hello build-examples/site/paint build-examples/site/tasks \
            build-examples-template/site/myprogram; do
  for suffix in .html .js .wasm .data; do
    [ -s "$work/$page$suffix" ] || { echo "no $page$suffix"; exit 1; }
  done
  grep -q "src=\"$(basename "$page").js\"" "$work/$page.html" || { echo "$page.html does not load its script"; exit 1; }
  # An app that plays offline: its manifest, and its files on the site's service worker's list.
  [ -s "$work/$page.webmanifest" ] || { echo "no $page.webmanifest"; exit 1; }
  grep -q "\"./$(basename "$page").wasm\"" "$(dirname "$work/$page")/ondrel-offline.js" ||
    { echo "the service worker of $(dirname "$page") does not keep $(basename "$page").wasm"; exit 1; }
done
echo "web consumer: the examples and the template build into pages"
