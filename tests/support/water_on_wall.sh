# Sourced by the tests that play the real program (natively or under Wine): a wall drawn with the
# pen, water poured above it, and a screenshot showing the water resting on the wall. The caller
# sources xsession.sh and locates the window (sx and sy: the screen position of a client pixel);
# draw_wall_and_pour wants the window active. Each step waits until the window shows that the
# program took the last one, never a fixed time: on a loaded machine frames come late and far apart.

water() { read -r r g b <<< "$1"; [ "$b" -gt 100 ] && [ "$r" -lt 80 ] && [ "$g" -lt 80 ]; }
wall() { read -r r g b <<< "$1"; [ "$r" -lt 40 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ]; }
empty() { read -r r g b <<< "$1"; [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -gt 200 ]; }
shows_wall() { wall "$(rgbs xwd:- "$1" "$2")"; }

# The "Frame Skip" text over the scene's top-left corner (13 characters of 8 x 12): the white of
# the scene and the text's colour both show there.
frame_skip_text_shows() {
  local mean
  mean=$(xwd -root -silent | convert xwd:- -crop "$(($(sx 104) - $(sx 0)))x$(($(sy 12) - $(sy 0)))+$(sx 0)+$(sy 0)" +repage \
    -fill black +opaque white -format "%[fx:mean]" info:)
  awk -v m="$mean" 'BEGIN { exit !(m > 0 && m < 1) }'
}
keypad_minus_heard() { xdotool key KP_Subtract; wait_until 2 frame_skip_text_shows; }

# draw_wall_and_pour SECONDS: every frame shown (so frames follow the display's pace), a wall two
# strokes thick along rows 300 and 301 from x = 200 to 440, then water poured at (320, 200) for
# SECONDS.
draw_wall_and_pour() {
  local pour=$1 x
  # The program may hear keys a moment after the window manager made it active (Wine tells it
  # later): keypad minus until the frame skip text shows, then ten more bring the frame skip from
  # its start of 10 down to 0, where it stays (0 and 1 both show every frame).
  wait_until 20 keypad_minus_heard || { echo "the program never heard the keypad"; exit 1; }
  for _ in $(seq 10); do xdotool key KP_Subtract; done
  # Water wears through a wall one stroke thick, after a number of frames that the pour's seconds
  # do not fix; two strokes hold. The pen starts where the pointer is in the first frame that
  # sees the button down, draws a line to where it is in each later frame, and stops with the
  # button: at each corner, wait until the wall shows there before going on.
  xdotool mousemove "$(sx 200)" "$(sy 300)" mousedown 1
  wait_until 20 shows_wall 200 300 || { echo "the pen did not start at (200, 300)"; exit 1; }
  for x in 240 280 320 360 400 440; do xdotool mousemove "$(sx $x)" "$(sy 300)"; done
  wait_until 20 shows_wall 440 300 || { echo "the wall did not reach (440, 300)"; exit 1; }
  xdotool mousemove "$(sx 440)" "$(sy 301)"
  wait_until 20 shows_wall 440 301 || { echo "the wall did not reach (440, 301)"; exit 1; }
  for x in 400 360 320 280 240 200; do xdotool mousemove "$(sx $x)" "$(sy 301)"; done
  wait_until 20 shows_wall 200 301 || { echo "the wall did not reach (200, 301)"; exit 1; }
  xdotool mouseup 1
  xdotool mousemove "$(sx 320)" "$(sy 200)" keydown space
  sleep "$pour"
  xdotool keyup space
}

# play_water_on_wall ID SHOT: the window ID made active, a wall drawn and water poured for two
# seconds, and the water seen resting on the wall, the last screenshot kept as SHOT.
play_water_on_wall() {
  activate_window "$1"
  draw_wall_and_pour 2
  expect_water_on_wall "$2"
}

# Cells x = 300, 305, ..., 340 where water lies right on the wall (its top row may be worn) in
# the screenshot $shot.
resting_cells() {
  local n=0 x cells=() c
  for x in 300 305 310 315 320 325 330 335 340; do cells+=("$x" 299 "$x" 300 "$x" 301); done
  mapfile -t c < <(rgbs "$shot" "${cells[@]}")
  for x in 0 3 6 9 12 15 18 21 24; do
    { water "${c[x]}" && wall "${c[x + 1]}"; } || { water "${c[x + 1]}" && wall "${c[x + 2]}"; } && n=$((n + 1))
  done
  echo "$n"
}
water_rests() { xwd -root -silent -out "$shot"; resting=$(resting_cells); [ "$resting" -ge 3 ]; }

# expect_water_on_wall SHOT: the water takes a number of frames to fall 100 rows, more on a busy
# machine or in a sanitizer build: screenshots until it rests on the wall, for up to 30 s, the
# last one kept as SHOT (a PNG); then the wall's ends, the air above, the room below and the water
# on the wall must show in it. A single poured span covers three of the cells looked at.
expect_water_on_wall() {
  local p
  shot=$(mktemp --suffix=.xwd)
  resting=0
  wait_until 30 water_rests || true
  convert "$shot" "$1"
  rm -f "$shot"
  shot=$1
  echo "screenshot: $shot"
  mapfile -t p < <(rgbs "$shot" 200 300 200 301 440 300 440 301 320 40 320 320)
  wall "${p[0]}" || wall "${p[1]}" || { echo "no wall at (200, 300-301): ${p[0]}, ${p[1]}"; exit 1; }
  wall "${p[2]}" || wall "${p[3]}" || { echo "no wall at (440, 300-301): ${p[2]}, ${p[3]}"; exit 1; }
  empty "${p[4]}" || { echo "not empty at (320, 40): ${p[4]}"; exit 1; }
  empty "${p[5]}" || { echo "water got under the wall at (320, 320): ${p[5]}"; exit 1; }
  [ "$resting" -ge 3 ] || { echo "only $resting of 9 cells above the wall hold water"; exit 1; }
  echo "water rests on the wall ($resting of 9 cells)"
}
