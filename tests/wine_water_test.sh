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
id=$(wait_for_window "$caption")
[ "$(xdotool getwindowname "$id")" = "$caption" ] || { echo "wrong caption: $(xdotool getwindowname "$id")"; exit 1; }
if grep -q "cannot find" "$errors"; then echo "it did not find its media: $(cat "$errors")"; exit 1; fi
# The client area on the screen: Wine's X window for a framed window is its client area, and the
# window manager draws the frame around it.
locate_window "$id"
echo "window $id: client area ${WIDTH}x${HEIGHT} at $X,$Y"
[ "$WIDTH" -eq 640 ] && [ "$HEIGHT" -eq 480 ] || { echo "the client area is not 640 x 480"; exit 1; }

activate_window "$id"
draw_wall_and_pour 2
expect_water_on_wall "$build/wine_water.png"

xdotool key Escape
expect_exit_zero "$APP_PID" 30 "after Escape"
