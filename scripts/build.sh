#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [cmake options...] [-- targets...]
# Without targets it builds everything. Warnings are errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
[ $# -gt 0 ] && shift
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDREL_WERROR=ON "${options[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
