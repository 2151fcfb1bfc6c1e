# ondrel.exe under Wine on a screen with room for twice its window: it declares itself DPI-aware
# in its manifest and shows its 640 x 480 client area enlarged twice, every pixel a sharp 2 x 2
# block; a wall drawn with the mouse at the middle of the enlarged pixels and water poured above
# it show where they were aimed, so the mouse positions come back to the program's pixels.
# The screen is a Wine desktop of its own, 1920 x 1200, whatever screen the prefix's other
# programs have: its work area less the frame and a menu bar's room holds 2 x 640 by 2 x 480.
# Arguments: ondrel.exe, the build folder, the command that runs a Windows program (Wine).
source "$(dirname "$0")/support/xsession.sh"
source "$(dirname "$0")/support/water_on_wall.sh"
program=$1
build=$2
run_windows=$3
caption="Ondrel - from Corvane - Version 1.0"

grep -a -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' "$program" ||
  { echo "$program declares no DPI awareness in its manifest"; exit 1; }

start_x_session 1920x1200
(cd "$build" && exec "$run_windows" explorer /desktop=ondrel-scale,1920x1200 "$program" 2>"$build/wine_scale.stderr") &
APP_PID=$!
desktop=$(wait_for_window "ondrel-scale - Wine desktop")
id=$(wait_for_window "$caption")
# On a Wine desktop the window's X window holds its frame too; the empty scene is pure white and
# the frame's innermost line is not: the client area is what lies inside that line. Wine draws
# the frame and the scene a moment after the window appears: measure until they show.
locate_window "$id"
corner_x=$X corner_y=$Y outer_w=$WIDTH outer_h=$HEIGHT
shot=$build/wine_scale.png
line() { convert "$shot" -crop "$1" +repage -depth 8 txt:- | awk 'NR > 1 { print ($3 == "#FFFFFF") }'; }
inner() { awk '!$1 { last = NR } END { print last + 0 }'; }  # how many lead up to the last one not white
client_area() {
  local left right top bottom
  xwd -root -silent | convert xwd:- "$shot"
  left=$(line "24x1+$corner_x+$((corner_y + outer_h / 2))" | inner)
  right=$(line "24x1+$((corner_x + outer_w - 24))+$((corner_y + outer_h / 2))" | tac | inner)
  top=$(line "1x64+$((corner_x + outer_w / 2))+$corner_y" | inner)
  bottom=$(line "1x24+$((corner_x + outer_w / 2))+$((corner_y + outer_h - 24))" | tac | inner)
  X=$((corner_x + left)); Y=$((corner_y + top)); WIDTH=$((outer_w - left - right)); HEIGHT=$((outer_h - top - bottom))
  SCALE=2
  [ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 960 ]
}
wait_until 30 client_area || true
echo "window $id: client area ${WIDTH}x${HEIGHT} at $X,$Y"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 960 ] || { echo "the client area is not shown at 1280 x 960"; exit 1; }

play_water_on_wall "$desktop" "$shot"
# Sharp: each of the four device pixels of a wall pixel has the wall's colour, not a blend.
device() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:; }
for x in 200 320 440; do
  for d in "0 0" "1 0" "0 1" "1 1"; do
    read -r dx dy <<< "$d"
    read -r r g b <<< "$(device $((X + 2 * x + dx)) $((Y + 2 * 300 + dy)))"
    [ "$r" -lt 40 ] && [ "$g" -lt 40 ] && [ "$b" -lt 40 ] || { echo "device pixel $dx,$dy of wall pixel ($x, 300) is $r $g $b"; exit 1; }
  done
done
echo "every wall pixel is a 2 x 2 block of wall"

xdotool key Escape
expect_exit_zero "$APP_PID" 30 "after Escape"
