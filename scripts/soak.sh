#!/usr/bin/env bash
# Soak run: replays a long random script (200,000 frames by default: walls drawn and erased,
# water poured, frame-skip changes, and the C key clearing everything now and then) through
# ondrel-replay, samples its resident memory (VmRSS) five times a second, and reports it at the
# start, halfway and at the end of the run, and its peak. Memory that keeps growing is a leak.
#   scripts/soak.sh [FRAMES] [SEED]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
frames=${1:-200000}
seed=${2:-1}
"$root/scripts/build.sh" "$root/build" -- ondrel-replay >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v frames="$frames" -v seed="$seed" 'BEGIN {
  srand(seed)
  f = 1
  while (f < frames) {
    x = int(rand() * 640); y = int(rand() * 480)
    r = rand()
    if (r < 0.35) {          # pour for a while, moving along
      print f, "move", x, y; print f, "keydown space"
      n = 20 + int(rand() * 300)
      for (i = 0; i < n && f < frames; i += 10) { f += 10; print f, "move", int(rand() * 640), int(rand() * 200) }
      print f, "keyup space"
    } else if (r < 0.65) {   # a wall of a few strokes
      print f, "move", x, y; print f, "press left"
      for (i = 0; i < 1 + int(rand() * 4); ++i) { f += 1 + int(rand() * 5); print f, "move", int(rand() * 640), int(rand() * 480) }
      f += 1; print f, "release left"
    } else if (r < 0.80) {   # erase a spot
      print f, "move", x, y; print f, "press right"
      f += 1 + int(rand() * 6); print f, "release right"
    } else if (r < 0.90) {   # frame skip up or down
      print f, "tap", (rand() < 0.5 ? "add" : "subtract")
    } else if (r < 0.93) {   # clear everything
      print f, "tap c"
    }
    f += 1 + int(rand() * 200)
  }
}' > "$work/soak.txt"
echo "soak: $(wc -l < "$work/soak.txt") events, $(grep -c 'tap c' "$work/soak.txt") of them clears, over $frames frames (seed $seed)"

rss() { sed -n "s/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$1/status" 2>/dev/null; }
start=$(date +%s)
(cd "$root/build/run" && exec ./ondrel-replay --frames "$frames" --spans "$work/spans.txt" "$work/soak.txt" 2>"$work/replay.log") &
pid=$!
# The start is the sample after the first second, once the program has set itself up.
: > "$work/rss.txt"
while kill -0 "$pid" 2>/dev/null; do
  rss "$pid" >> "$work/rss.txt" || true
  sleep 0.2
done
wait "$pid" || { cat "$work/replay.log"; echo "soak: the replay failed"; exit 1; }
took=$(( $(date +%s) - start ))
tail -n 1 "$work/replay.log"
awk -v took="$took" 'NF { v[n++] = $1; if ($1 > peak) peak = $1 }
  END {
    if (n < 2) { print "soak: too short a run to sample"; exit }
    s = n > 5 ? 5 : 0
    printf "soak: resident memory (VmRSS) at the start %d kB, halfway %d kB, at the end %d kB, peak %d kB (%d samples over %ds)\n",
           v[s], v[int((s + n - 1) / 2)], v[n - 1], peak, n, took
  }' "$work/rss.txt"
echo "soak: $(wc -l < "$work/spans.txt") water spans left at the end"
