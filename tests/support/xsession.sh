# Sourced by the tests that run the real program: an X server (Xvfb) with a window manager
# (openbox), torn down when the test ends.
set -euo pipefail

# start_x_session [WIDTHxHEIGHT]: the screen is 1280 x 1024 unless given.
start_x_session() {
  # Xvfb picks a free display number itself and writes it once it listens, so tests (or anything
  # else on the machine) starting servers at the same moment never take the same one.
  local numberfile
  numberfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$numberfile" ] && break; sleep 0.1; done
  XNUM=$(head -n 1 "$numberfile")
  rm -f "$numberfile"
  [ -n "$XNUM" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$XNUM"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  # The window manager runs once it lists the windows it manages, as wmctrl reads them: closing
  # a window through it (wmctrl -c) before that would fail.
  for _ in $(seq 100); do wmctrl -l >/dev/null 2>&1 && break; sleep 0.1; done
  wmctrl -l >/dev/null 2>&1 || { echo "the window manager did not start on $DISPLAY" >&2; return 1; }
  trap stop_x_session EXIT
}

stop_x_session() {
  [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
  kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
}

# wait_for_window TITLE: prints the X window id once a window with that exact title exists.
wait_for_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window titled '$1' appeared" >&2
  return 1
}

# start_program PROGRAM TITLE: runs the program from its own folder (where its pack and media
# are) and waits for its window; sets APP_PID and WINDOW_ID.
start_program() {
  (cd "$(dirname "$1")" && exec "$1") &
  APP_PID=$!
  WINDOW_ID=$(wait_for_window "$2")
}

# activate_window ID: makes the window the active one, or fails. Mouse input reaches the program
# only while it is the active application: wait until the window manager has made it so (Wine
# tells the program a moment later).
activate_window() {
  for _ in $(seq 50); do
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  echo "the window never became active"
  return 1
}

# locate_window ID: where the window shows its image on the screen. Sets X and Y (xwininfo's
# absolute corner, which a reparenting window manager does not shift), WIDTH and HEIGHT, and
# SCALE, the whole factor a 640-wide image is enlarged by; then sx and sy give the screen
# position of the middle of the image's pixel (x, y).
locate_window() {
  local info
  info=$(xwininfo -id "$1")
  X=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
  Y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
  WIDTH=$(echo "$info" | sed -n 's/.*Width: *//p')
  HEIGHT=$(echo "$info" | sed -n 's/.*Height: *//p')
  SCALE=$((WIDTH / 640))
}
sx() { echo $((X + $1 * SCALE + SCALE / 2)); }
sy() { echo $((Y + $1 * SCALE + SCALE / 2)); }

# wait_for_exit PID SECONDS: the process's exit code, or fails when it is still running.
wait_for_exit() {
  local pid=$1 limit=$2
  for _ in $(seq $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; return $?; }
    sleep 0.1
  done
  echo "process $pid still running after ${limit}s" >&2
  return 124
}

# expect_exit_zero PID SECONDS WHAT: fails unless the process ends with exit code 0 in time.
expect_exit_zero() {
  local code
  set +e
  wait_for_exit "$1" "$2"
  code=$?
  set -e
  APP_PID=
  [ "$code" -eq 0 ] || { echo "exit code $code $3, expected 0"; exit 1; }
  echo "$3: exit code 0"
}

# Libraries of the X and SDL stack keep allocations until exit; our own code must not.
export LSAN_OPTIONS="suppressions=$(dirname "${BASH_SOURCE[0]}")/lsan.supp:print_suppressions=0"
