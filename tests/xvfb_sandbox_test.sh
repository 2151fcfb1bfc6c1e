# ondrel-sandbox in a real window, played with the mouse and keyboard through the X server: a
# wall dragged with the wall brush shows black, water poured above it with the water brush comes
# to rest on it, File > Save from the menu bar writes a scene into the scene folder, and Escape
# ends the program with exit code 0, keeping the scene as the folder's autosave.
# Arguments: the ondrel executable (unused), the build folder, whose run/ holds ondrel-sandbox.
source "$(dirname "$0")/support/xsession.sh"
sandbox=$2/run/ondrel-sandbox
[ -x "$sandbox" ] || { echo "no $sandbox in this build"; exit 77; }
data=$(mktemp -d)
export XDG_DATA_HOME=$data  # the scene folder: $data/ondrel/scenes
scenes=$data/ondrel/scenes

start_x_session
trap 'rm -rf "$data"; stop_x_session' EXIT
start_program "$sandbox" "Ondrel sandbox"
id=$WINDOW_ID
sleep 0.5
locate_window "$id"
activate_window "$id"
# Positions are pixels of what the window shows: the 19-pixel menu bar, then the client area,
# whose top 480 rows are the scene. The wall brush (size 4) at row 300 covers rows 298 to 301.
bar=19
rgb() {
  xwd -root -silent | convert xwd:- -format "%[fx:int(255*p{$(sx "$1"),$(sy "$2")}.r)] %[fx:int(255*p{$(sx "$1"),$(sy "$2")}.g)] %[fx:int(255*p{$(sx "$1"),$(sy "$2")}.b)]" info:
}
# expect_rgb X Y "R G B" WHAT SECONDS: looks again until the pixel shows the colour, or fails.
expect_rgb() {
  local got tries=0
  until got=$(rgb "$1" "$2"); [ "$got" = "$3" ]; do
    tries=$((tries + 1))
    [ $tries -lt $(($5 * 5)) ] || { echo "$4: pixel ($1, $2) is $got, expected $3"; exit 1; }
    sleep 0.2
  done
  echo "$4: ($1, $2) is $got"
}

xdotool mousemove "$(sx 200)" "$(sy $((bar + 300)))"
sleep 0.3
xdotool mousedown 1
sleep 0.3
for x in 240 280 320 360 400 440; do
  sleep 0.1
  xdotool mousemove "$(sx $x)" "$(sy $((bar + 300)))"
done
sleep 0.3
xdotool mouseup 1
expect_rgb 320 $((bar + 300)) "0 0 0" "the wall brush dragged along row 300" 5

xdotool key w  # the water brush
xdotool mousemove "$(sx 320)" "$(sy $((bar + 200)))"
sleep 0.3
xdotool mousedown 1
sleep 1.5
xdotool mouseup 1
expect_rgb 320 $((bar + 297)) "0 0 170" "water poured at row 200 resting on the wall" 30
expect_rgb 320 $((bar + 320)) "255 255 255" "nothing under the wall" 1

# File is the first title (x 0-35); its items are 16 pixels high from y 22, under the 19-pixel bar
# and the drop-down's edge: the fifth, Save, comes after New at three sizes and Open.
xdotool mousemove "$(sx 12)" "$(sy 9)"
sleep 0.2
xdotool click 1
sleep 0.4
xdotool mousemove "$(sx 30)" "$(sy $((22 + 4 * 16 + 8)))"
sleep 0.2
xdotool click 1
for _ in $(seq 50); do
  compgen -G "$scenes/scene-1-*.bmp" >/dev/null && break
  sleep 0.1
done
saved=$(compgen -G "$scenes/scene-1-*.bmp" || true)
[ -n "$saved" ] || { echo "File > Save wrote no scene into $scenes: $(ls "$scenes")"; exit 1; }
echo "File > Save: $(basename "$saved")"
[ "$(head -c 2 "$saved")" = BM ] || { echo "the saved scene is no bitmap"; exit 1; }

xdotool key Escape
expect_exit_zero "$APP_PID" 20 "after Escape"
[ -f "$scenes/autosave.bmp" ] || { echo "no autosave after closing"; exit 1; }
echo "the scene was kept: $scenes/autosave.bmp"
