# ondrel.exe under Wine in a real X session, played with the mouse and keyboard as on Windows: the
# window appears with its caption, a wall drawn with the left button and water poured above it
# with the space key show in a screenshot, and Escape ends the process with exit code 0. It is
# started from the build folder, not its own, so it must find its pack and media beside itself.
# Arguments: ondrel.exe, the build folder, the command that runs a Windows program (Wine).
source "$(dirname "$0")/support/xsession.sh"
source "$(dirname "$0")/support/water_on_wall.sh"
program=$1
build=$2
run_windows=$3
caption="Ondrel - from Corvane - Version 1.0"

start_x_session
errors="$build/wine_water.stderr"
(cd "$build" && exec "$run_windows" "$program" 2>"$errors") &
APP_PID=$!
id=$(wait_for_window "$caption") || { echo "its standard error: $(cat "$errors")"; exit 1; }
[ "$(xdotool getwindowname "$id")" = "$caption" ] || { echo "wrong caption: $(xdotool getwindowname "$id")"; exit 1; }
if grep -q "cannot find" "$errors"; then echo "it did not find its media: $(cat "$errors")"; exit 1; fi
# The client area on the screen: Wine's X window for a framed window is its client area, and the
# window manager draws the frame around it.
locate_window "$id"
echo "window $id: client area ${WIDTH}x${HEIGHT} at $X,$Y"
# 640 x 480, shown at the whole factor the screen has room for: 1 on this 1280 x 1024 screen, 2
# where the Wine programs before it were shown on a larger one (wine_scale_test's desktop).
[ "$SCALE" -ge 1 ] && [ "$WIDTH" -eq $((640 * SCALE)) ] && [ "$HEIGHT" -eq $((480 * SCALE)) ] ||
  { echo "the client area is not 640 x 480 enlarged by a whole factor"; exit 1; }

play_water_on_wall "$id" "$build/wine_water.png"

xdotool key Escape
expect_exit_zero "$APP_PID" 30 "after Escape"
