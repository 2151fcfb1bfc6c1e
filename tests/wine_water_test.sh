# ondrel.exe under Wine in a real X session, played with the mouse and keyboard as on Windows: the
# window appears with its caption, a wall drawn with the left button and water poured above it
# with the space key show in a screenshot, and Escape ends the process with exit code 0. It is
# started from the build folder, not its own, so it must find its pack and media beside itself.
# Arguments: ondrel.exe, the build folder, the command that runs a Windows program (Wine).
source "$(dirname "$0")/support/xsession.sh"
program=$1
build=$2
run_windows=$3
caption="Ondrel - from Corvane - Version 1.0"

start_x_session
errors="$build/wine_water.stderr"
(cd "$build" && exec "$run_windows" "$program" 2>"$errors") &
APP_PID=$!
id=$(wait_for_window "$caption")
sleep 1
[ "$(xdotool getwindowname "$id")" = "$caption" ] || { echo "wrong caption: $(xdotool getwindowname "$id")"; exit 1; }
if grep -q "cannot find" "$errors"; then echo "it did not find its media: $(cat "$errors")"; exit 1; fi
# The client area on the screen: Wine's X window for a framed window is its client area, and the
# window manager draws the frame around it.
info=$(xwininfo -id "$id")
X=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
WIDTH=$(echo "$info" | sed -n 's/.*Width: *//p')
HEIGHT=$(echo "$info" | sed -n 's/.*Height: *//p')
echo "window $id: client area ${WIDTH}x${HEIGHT} at $X,$Y"
[ "$WIDTH" -eq 640 ] && [ "$HEIGHT" -eq 480 ] || { echo "the client area is not 640 x 480"; exit 1; }
sx() { echo $((X + $1)); }
sy() { echo $((Y + $1)); }

# Mouse input reaches the program only while it is the active application: wait until the window
# manager has made it so, and Wine has told the program.
for _ in $(seq 50); do
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$id" ] && break
  sleep 0.1
done
[ "$(xdotool getactivewindow 2>/dev/null)" = "$id" ] || { echo "the window never became active"; exit 1; }
sleep 0.5
# Frame skip 1: every frame is shown, so frames follow the display's pace.
for _ in 1 2 3 4 5 6 7 8 9; do xdotool key KP_Subtract; done
# The pen starts where the pointer is in the first frame that sees the button down, and each frame
# draws a line to where it is then: hold still after pressing, so that a slow frame cannot start
# the wall further along.
xdotool mousemove "$(sx 200)" "$(sy 300)"
sleep 0.3
xdotool mousedown 1
sleep 0.5
for x in 240 280 320 360 400 440; do
  sleep 0.1
  xdotool mousemove "$(sx $x)" "$(sy 300)"
done
sleep 0.5
xdotool mouseup 1
xdotool mousemove "$(sx 320)" "$(sy 200)"
sleep 0.2
xdotool keydown space
sleep 2
xdotool keyup space

shot="$build/wine_water.png"
rgb() { convert "$shot" -format "%[fx:int(255*p{$(sx $1),$(sy $2)}.r)] %[fx:int(255*p{$(sx $1),$(sy $2)}.g)] %[fx:int(255*p{$(sx $1),$(sy $2)}.b)]" info:; }
is_water() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$b" -gt 100 ] && [ "$r" -lt 80 ] && [ "$g" -lt 80 ]; }
is_wall() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$r" -lt 40 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ]; }
is_empty() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -gt 200 ]; }
resting_cells() {
  local n=0 x
  for x in 300 305 310 315 320 325 330 335 340; do is_water "$x" 299 && is_wall "$x" 300 && n=$((n + 1)); done
  echo "$n"
}
# The water takes a number of frames to fall and spread, and a machine under load makes frames
# slowly: look again until it rests on the wall, for a while.
resting=0
for _ in $(seq 15); do
  sleep 1
  xwd -root -silent | convert xwd:- "$shot"
  resting=$(resting_cells)
  [ "$resting" -ge 4 ] && break
done
echo "screenshot: $shot"

is_wall 200 300 || { echo "no wall at (200, 300): $(rgb 200 300)"; exit 1; }
is_wall 440 300 || { echo "no wall at (440, 300): $(rgb 440 300)"; exit 1; }
is_empty 320 40 || { echo "not empty at (320, 40): $(rgb 320 40)"; exit 1; }
is_empty 320 320 || { echo "water got under the wall at (320, 320): $(rgb 320 320)"; exit 1; }
[ "$resting" -ge 4 ] || { echo "only $resting of 9 cells above the wall hold water"; exit 1; }
echo "water rests on the wall ($resting of 9 cells)"

xdotool key Escape
expect_exit_zero "$APP_PID" 30 "after Escape"
