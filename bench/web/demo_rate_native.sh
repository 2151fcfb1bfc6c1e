#!/usr/bin/env bash
# Frame rate of the README's demo scene (docs/demo.txt) in the SDL program under Xvfb, played with
# xdotool on the same time table as bench/web/demo_rate.js plays it in the page (frame F of the
# script at (F - 1) / 240 s: frame skip 4 shown at 60 Hz), then frame skip 1000 for 5 s. Shown
# frames are SDL_RenderPresent calls, counted by a preloaded shim that logs each one's time.
# Usage: bench/web/demo_rate_native.sh [RUNS]   (after scripts/build.sh build -- ondrel)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-3}
source "$root/tests/support/xsession.sh"
work=$(mktemp -d)
trap 'stop_x_session; rm -rf "$work"' EXIT
cat > "$work/present_log.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
void SDL_RenderPresent(void* renderer) {
    static void (*real)(void*);
    static FILE* log;
    if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    real(renderer);
    if (!log) log = fopen(getenv("PRESENT_LOG"), "w");
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    if (log) fprintf(log, "%ld.%09ld\n", (long)t.tv_sec, t.tv_nsec);
}
C
cc -shared -fPIC -O2 -o "$work/present_log.so" "$work/present_log.c" -ldl
start_x_session
caption="Ondrel - from Corvane - Version 1.0"
now() { date +%s.%N; }
# Shown frames per second in the log between two times.
rate() { awk -v a="$2" -v b="$3" '$1 >= a && $1 < b { n++ } END { printf "%.1f", n / (b - a) }' "$1"; }

for run in $(seq "$runs"); do
  log="$work/present-$run.log"
  (cd "$root/build/run" && PRESENT_LOG="$log" LD_PRELOAD="$work/present_log.so" exec ./ondrel) &
  APP_PID=$!
  id=$(wait_for_window "$caption")
  sleep 1
  locate_window "$id"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  # The demo script as xdotool commands, with the sleeps between its frames.
  awk -v X="$X" -v Y="$Y" -v k="$SCALE" '
    /^[0-9]/ {
      t = ($1 - 1) / 240
      if (t > last) { printf "sleep %.4f\n", t - last; last = t }
      key["space"] = "space"; key["add"] = "KP_Add"; key["subtract"] = "KP_Subtract"
      if ($2 == "move") printf "mousemove %d %d\n", X + $3 * k + k / 2, Y + $4 * k + k / 2
      if ($2 == "press") printf "mousedown %d\n", $3 == "left" ? 1 : 3
      if ($2 == "release") printf "mouseup %d\n", $3 == "left" ? 1 : 3
      if ($2 == "tap") printf "key %s\n", key[$3]
      if ($2 == "keydown") printf "keydown %s\n", key[$3]
      if ($2 == "keyup") printf "keyup %s\n", key[$3]
    }
    END { printf "sleep %.4f\n", 900 / 240 - last }' "$root/docs/demo.txt" > "$work/demo.xdo"
  a=$(now)
  xdotool - < "$work/demo.xdo"
  b=$(now)
  for _ in $(seq 996); do echo "key KP_Add"; done | xdotool -
  sleep 0.5
  c=$(now)
  sleep 5
  d=$(now)
  xdotool key Escape
  wait_for_exit "$APP_PID" 20 >/dev/null || true
  APP_PID=
  steps=$(awk -v r="$(rate "$log" "$c" "$d")" 'BEGIN { printf "%.0f", r * 1000 }')
  echo "run $run: demo scene $(rate "$log" "$a" "$b") shown frames/s; frame skip 1000: $steps steps/s (window ${W}px wide)"
done
