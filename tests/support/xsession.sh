# Sourced by the tests that run the real program: an X server (Xvfb) with a window manager
# (openbox), torn down when the test ends.
set -euo pipefail

# start_xvfb [WIDTHxHEIGHT]: an X server (no window manager) as DISPLAY, its screen 1280 x 1024
# unless given; sets XVFB_PID.
start_xvfb() {
  # Xvfb picks a free display number itself and writes it once it listens, so tests (or anything
  # else on the machine) starting servers at the same moment never take the same one.
  local numberfile number
  numberfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  wait_until 10 test -s "$numberfile" || true
  number=$(head -n 1 "$numberfile")
  rm -f "$numberfile"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
}

# start_x_session [WIDTHxHEIGHT]: start_xvfb and a window manager on it.
start_x_session() {
  start_xvfb "$@"
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  trap stop_x_session EXIT
  # A window mapped before the window manager runs is taken over later, framed and moved while
  # the test uses it, and closing a window through the window manager (wmctrl -c) fails before it
  # runs: wait until it lists the windows it manages, as wmctrl reads them.
  wait_until 20 window_manager_runs || { echo "the window manager did not start on $DISPLAY" >&2; return 1; }
}
window_manager_runs() { wmctrl -l >/dev/null 2>&1; }

# wait_until SECONDS COMMAND...: runs the command every tenth of a second until it succeeds, or
# fails once SECONDS have passed.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

stop_x_session() {
  [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null || true
  kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
}

# wait_for_window TITLE: prints the X window id once a window with that exact title is on the
# screen. Only a viewable window counts: the window manager maps a window only once it has framed
# and placed it, so where it is holds from then on. A window that a program makes and replaces
# before showing it (SDL may, for its renderer) never counts. Wine takes a quarter of a minute to
# show one on a loaded machine.
# The program started last (APP_PID) ending first is a failure at once, said as such.
wait_for_window() {
  local id
  if wait_until 60 window_or_end "$1"; then
    id=$(viewable_window "$1") && { echo "$id"; return 0; }
    echo "the program ended before a window titled '$1' appeared" >&2
  else
    echo "no window titled '$1' appeared" >&2
  fi
  describe_screen >&2
  return 1
}
viewable_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
window_or_end() { viewable_window "$1" >/dev/null || { [ -n "${APP_PID:-}" ] && ! kill -0 "$APP_PID" 2>/dev/null; }; }
# What the X server and the processes show when a window does not appear: every window with a
# name, whether mapped, and the program's and Wine's processes.
describe_screen() {
  local w
  echo "windows on $DISPLAY:"
  for w in $(xdotool search --name . 2>/dev/null); do
    echo "  $w '$(xdotool getwindowname "$w" 2>/dev/null)' $(xwininfo -id "$w" 2>/dev/null | sed -n 's/.*Map State: *//p')"
  done
  echo "processes:"
  ps -eo pid,ppid,stat,etimes,args | grep -iE "wine|\.exe|ondrel|${APP_PID:-none}" | grep -v grep | sed 's/^/  /' || true
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

# rgbs IMAGE X Y [X Y]...: the RGB of each image pixel (X, Y) in a screenshot, one "r g b" a
# line; IMAGE xwd:- takes the screen as it is now.
rgbs() {
  local image=$1 format="" p
  shift
  while [ $# -gt 0 ]; do
    p="p{$(sx "$1"),$(sy "$2")}"
    format+="%[fx:int(255*$p.r)] %[fx:int(255*$p.g)] %[fx:int(255*$p.b)]\n"
    shift 2
  done
  if [ "$image" = xwd:- ]; then
    xwd -root -silent | convert xwd:- -format "$format" info:
  else
    convert "$image" -format "$format" info:
  fi
}

# expect_rgb X Y "R G B" WHAT [SECONDS]: looks again until the image pixel (X, Y) shows the
# colour, for up to SECONDS (20 unless given), or fails.
expect_rgb() {
  wait_until "${5:-20}" pixel_is "$1" "$2" "$3" || { echo "$4: pixel ($1, $2) is $SEEN, expected $3"; exit 1; }
  echo "$4: ($1, $2) is $SEEN"
}
pixel_is() { SEEN=$(rgbs xwd:- "$1" "$2"); [ "$SEEN" = "$3" ]; }

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
