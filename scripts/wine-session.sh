# Sourced by the scripts that run the Windows build's tests: start_wine_session DIR gives the
# Windows build in DIR what its tests need under Wine, until the shell exits: an X server without
# a window manager for the test programs' windows (the wine_* scripts start their own, with one),
# and a Wine server that stays up between the programs instead of starting afresh for each.
source "$(dirname "${BASH_SOURCE[0]}")/../tests/support/xsession.sh"

start_wine_session() {
  local dir=$1
  start_xvfb
  export WINEPREFIX="$dir/wine-prefix"
  trap stop_wine_session EXIT
  "$dir/wine-run" cmd /c exit  # makes the prefix, if the build has not
  wineserver -k 2>/dev/null || true
  wineserver -p
  # Wine's own services start with the first program; started by several programs at once, they
  # can leave one of those hanging at exit.
  "$dir/wine-run" cmd /c exit
  hold_wine_desktop "$dir"
}

# hold_wine_desktop DIR: the desktop's process (explorer) started once for the session and kept
# until it ends. A program that finds no desktop starts that process itself and waits for it at
# most 10 seconds; on a loaded machine it can take longer, and the program then runs without a
# display driver: its windows never appear. So no test program may be the one to start it.
# The desktop's process shows on this session's X server; the wine_* tests' programs show their
# windows on servers of their own all the same, but the screen size they are told is this
# server's (1280 x 1024, as theirs): a test that needs another size makes a Wine desktop of its
# own (explorer /desktop=NAME,WxH, as wine_scale_test does).
hold_wine_desktop() {
  local dir=$1 ready holder=$1/tests/wine_desktop.exe
  [ -f "$holder" ] || { echo "wine-session: $holder is missing (build the Windows build first)" >&2; return 1; }
  # The explorer that the services' start left closes a moment after its last program: a
  # desktop of its own is started only once it is gone.
  wait_until 60 no_desktop_process ||
    { echo "wine-session: the previous desktop process of $WINEPREFIX did not end" >&2; return 1; }
  ready=$(mktemp)
  "$dir/wine-run" "$holder" >"$ready" &
  DESKTOP_PID=$!
  # As long as the machine takes, that is the point of starting it here; five minutes tell of
  # something else.
  wait_until 300 desktop_ready "$ready" || true
  if ! grep -q ready "$ready"; then
    rm -f "$ready"
    echo "wine-session: the desktop of $WINEPREFIX did not start (wine_desktop.exe $(kill -0 "$DESKTOP_PID" 2>/dev/null && echo "still waits for it after 300 s" || echo ended))" >&2
    return 1
  fi
  rm -f "$ready"
}
desktop_ready() { grep -q ready "$1" || ! kill -0 "$DESKTOP_PID" 2>/dev/null; }
# No desktop process of this prefix runs.
no_desktop_process() {
  local pid environment
  for pid in $(pgrep -f 'explorer\.exe /desktop' || true); do
    environment=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null) || continue
    grep -qx "WINEPREFIX=$WINEPREFIX" <<<"$environment" && return 1
  done
  return 0
}

stop_wine_session() {
  wineserver -k 2>/dev/null || true
  [ -z "${DESKTOP_PID:-}" ] || wait "$DESKTOP_PID" 2>/dev/null || true
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
}
