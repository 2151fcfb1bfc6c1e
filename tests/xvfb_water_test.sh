# The real program in a real X session, played with the mouse and keyboard: a wall drawn with the
# left button, water poured above it with the space key, a screenshot showing the water resting on
# the wall; Escape ends the process with exit code 0.
# Arguments: the ondrel executable, the build folder.
source "$(dirname "$0")/support/xsession.sh"
program=$1
build=$2
caption="Ondrel - from Corvane - Version 1.0"

start_x_session
start_program "$program" "$caption"
id=$WINDOW_ID
sleep 0.5
# The client area's place on the screen (xwininfo's absolute corner, which a reparenting window
# manager does not shift).
info=$(xwininfo -id "$id")
X=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
WIDTH=$(echo "$info" | sed -n 's/.*Width: *//p')
scale=$((WIDTH / 640))
# Screen position of client pixel (x, y).
sx() { echo $((X + $1 * scale + scale / 2)); }
sy() { echo $((Y + $1 * scale + scale / 2)); }

xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
# Frame skip 1: every frame is shown, so frames follow the display's refresh and the run does not
# depend on how fast this machine is.
for _ in 1 2 3 4 5 6 7 8 9; do xdotool key KP_Subtract; done
xdotool mousemove "$(sx 200)" "$(sy 300)"
sleep 0.2
xdotool mousedown 1
for x in 240 280 320 360 400 440; do
  sleep 0.1
  xdotool mousemove "$(sx $x)" "$(sy 300)"
done
sleep 0.2
xdotool mouseup 1
xdotool mousemove "$(sx 320)" "$(sy 200)"
sleep 0.2
xdotool keydown space
sleep 1
xdotool keyup space

shot="$build/xvfb_water.png"
# RGB of client pixel (x, y) in the screenshot.
rgb() { convert "$shot" -format "%[fx:int(255*p{$(sx $1),$(sy $2)}.r)] %[fx:int(255*p{$(sx $1),$(sy $2)}.g)] %[fx:int(255*p{$(sx $1),$(sy $2)}.b)]" info:; }
is_water() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$b" -gt 100 ] && [ "$r" -lt 80 ] && [ "$g" -lt 80 ]; }
is_wall() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$r" -lt 40 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ]; }
is_empty() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -gt 200 ]; }
resting_cells() {
  local n=0
  for x in 300 305 310 315 320 325 330 335 340; do is_water "$x" 299 && is_wall "$x" 300 && n=$((n + 1)); done
  echo $n
}
# The water takes a while to fall 100 rows, longer on a busy machine or in a sanitizer build:
# look again until it rests on the wall, for up to 30 s.
for _ in $(seq 60); do
  sleep 0.5
  xwd -root -silent | convert xwd:- "$shot"
  resting=$(resting_cells)
  [ "$resting" -ge 4 ] && break
done
echo "screenshot: $shot (window at $X,$Y, scale $scale)"

is_wall 200 300 || { echo "no wall at (200, 300): $(rgb 200 300)"; exit 1; }
is_wall 440 300 || { echo "no wall at (440, 300): $(rgb 440 300)"; exit 1; }
is_empty 320 40 || { echo "not empty at (320, 40): $(rgb 320 40)"; exit 1; }
is_empty 320 320 || { echo "water got under the wall at (320, 320): $(rgb 320 320)"; exit 1; }
[ "$resting" -ge 4 ] || { echo "only $resting of 9 cells above the wall hold water"; exit 1; }
echo "water rests on the wall ($resting of 9 cells)"

xdotool key Escape
expect_exit_zero "$APP_PID" 20 "after Escape"
