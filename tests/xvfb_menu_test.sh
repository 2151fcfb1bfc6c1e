# Menus and push buttons in a real window, played with the mouse and keyboard through the X
# server: a drop-down opens over the window, highlights the item under the pointer and sends the
# picked item's command; a push button sends its command; Escape closes an open menu without
# reaching the window, and a second Escape (which the program takes as the end) reaches it.
# Arguments: the ondrel executable (unused), the build folder, which holds tests/menu_probe.
source "$(dirname "$0")/support/xsession.sh"
probe=$2/tests/menu_probe
[ -x "$probe" ] || { echo "no $probe in this build"; exit 77; }
out=$2/xvfb_menu.out

start_x_session
"$probe" > "$out" &
APP_PID=$!
id=$(wait_for_window "Menu probe")
sleep 0.5
info=$(xwininfo -id "$id")
X=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
Y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
WIDTH=$(echo "$info" | sed -n 's/.*Width: *//p')
scale=$((WIDTH / 320))
# Screen position of pixel (x, y) of what the window shows: the 19-pixel menu bar, then the
# 320 x 200 client area.
sx() { echo $((X + $1 * scale + scale / 2)); }
sy() { echo $((Y + $1 * scale + scale / 2)); }
click() {
  xdotool mousemove "$(sx "$1")" "$(sy "$2")"
  sleep 0.2
  xdotool click 1
  sleep 0.3
}
rgb() {
  xwd -root -silent | convert xwd:- -format "%[fx:int(255*p{$(sx "$1"),$(sy "$2")}.r)] %[fx:int(255*p{$(sx "$1"),$(sy "$2")}.g)] %[fx:int(255*p{$(sx "$1"),$(sy "$2")}.b)]" info:
}
expect_rgb() {  # x y "r g b" what
  local got
  got=$(rgb "$1" "$2")
  [ "$got" = "$3" ] || { echo "$4: pixel ($1, $2) is $got, expected $3"; cat "$out"; exit 1; }
  echo "$4: ($1, $2) is $got"
}
lines() { grep -c "$1" "$out" || true; }

xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
# The titles: "File" over x 0-35, "View" over 36-71. View's drop-down lies under its title, from
# x 36, its items 16 pixels high from y 22: Zoom, Grid, Ruler.
expect_rgb 100 30 "0 0 0" "closed: the client area"
click 54 9
xdotool mousemove "$(sx 66)" "$(sy 62)"
sleep 0.3
expect_rgb 100 30 "192 192 192" "open: the drop-down over the client area"
expect_rgb 40 62 "0 0 128" "the item under the pointer highlighted"
xdotool click 1
sleep 0.3
[ "$(lines '^Menu 1 2$')" -eq 1 ] || { echo "picking Ruler did not arrive as Menu 1 2:"; cat "$out"; exit 1; }
expect_rgb 100 30 "0 0 0" "picked: the drop-down gone"

click 60 174
[ "$(lines '^Button 7 0$')" -eq 1 ] || { echo "the button's click did not arrive as Button 7 0:"; cat "$out"; exit 1; }

click 18 9
xdotool key Escape
sleep 0.3
expect_rgb 10 30 "0 0 0" "Escape: the drop-down closed"
kill -0 "$APP_PID" 2>/dev/null || { echo "the first Escape reached the window"; cat "$out"; exit 1; }
[ "$(lines '^Key 27 0$')" -eq 0 ] || { echo "the first Escape reached the window"; cat "$out"; exit 1; }
xdotool key Escape
expect_exit_zero "$APP_PID" 20 "after the second Escape"
[ "$(lines '^Key 27 0$')" -eq 1 ] || { echo "the second Escape did not arrive"; cat "$out"; exit 1; }
echo "events:"; grep -v '^Mouse' "$out"
