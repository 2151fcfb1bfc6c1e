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
}

stop_wine_session() {
  wineserver -k 2>/dev/null || true
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
}
