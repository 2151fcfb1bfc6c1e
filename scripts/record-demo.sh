#!/usr/bin/env bash
# Records docs/demo.gif, the README's animation, from docs/demo.txt with ondrel-replay.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" -- ondrel-replay
frames=$(sed -n 's/^# frames: //p' "$root/docs/demo.txt")
cd "$root/build/run"
./ondrel-replay --frames "$frames" --gif "$root/docs/demo.gif" "$root/docs/demo.txt"
echo "recorded $root/docs/demo.gif"
