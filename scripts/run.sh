#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the demonstration in a window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root/build/run"
exec ./ondrel
