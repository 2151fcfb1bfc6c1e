# Sourced by the tests that play the real program (natively or under Wine): a wall drawn with the
# pen, water poured above it, and a screenshot showing the water resting on the wall. The caller
# defines sx and sy, the screen position of a client pixel, and activates the window first.

# Frame skip 1 (every frame shown, so frames follow the display's pace), a wall from (200, 300)
# to (440, 300), then water poured at (320, 200) for POUR seconds.
draw_wall_and_pour() {
  local pour=$1 x
  for _ in 1 2 3 4 5 6 7 8 9; do xdotool key KP_Subtract; done
  # The pen starts where the pointer is in the first frame that sees the button down, and each
  # frame draws a line to where it is then: hold still after pressing, so that a slow frame cannot
  # start the wall further along.
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
  sleep "$pour"
  xdotool keyup space
}

# play_water_on_wall ID SHOT: the program's window ID made active, a wall drawn and water poured
# for two seconds, and the water seen resting on the wall, in screenshots into SHOT.
play_water_on_wall() {
  activate_window "$1"
  sleep 0.5  # for the program (under Wine: for Wine to tell it) to be active
  draw_wall_and_pour 2
  expect_water_on_wall "$2"
}

# RGB of client pixel (x, y) in the screenshot $shot.
rgb() { convert "$shot" -format "%[fx:int(255*p{$(sx $1),$(sy $2)}.r)] %[fx:int(255*p{$(sx $1),$(sy $2)}.g)] %[fx:int(255*p{$(sx $1),$(sy $2)}.b)]" info:; }
is_water() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$b" -gt 100 ] && [ "$r" -lt 80 ] && [ "$g" -lt 80 ]; }
is_wall() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$r" -lt 40 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ]; }
is_empty() { read -r r g b <<< "$(rgb "$1" "$2")"; [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -gt 200 ]; }
resting_cells() {
  local n=0 x
  for x in 300 305 310 315 320 325 330 335 340; do is_water "$x" 299 && is_wall "$x" 300 && n=$((n + 1)); done
  echo "$n"
}

# expect_water_on_wall SHOT: the water takes a number of frames to fall 100 rows, more on a busy
# machine or in a sanitizer build: screenshots into SHOT until it rests on the wall, for up to
# 30 s; then the wall, the air above, the room below and the water on the wall must show.
expect_water_on_wall() {
  shot=$1
  local resting=0
  for _ in $(seq 60); do
    sleep 0.5
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
}
