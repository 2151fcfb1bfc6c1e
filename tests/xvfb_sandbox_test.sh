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
locate_window "$id"
activate_window "$id"
# Positions are pixels of what the window shows: the 19-pixel menu bar, then the client area,
# whose top 480 rows are the scene. The wall brush (size 4) at row 300 covers rows 298 to 301.
bar=19

# Input goes to the window once it shows its scene (white) and its status rows (black).
expect_rgb 320 $((bar + 300)) "255 255 255" "the empty scene shows"
expect_rgb 320 $((bar + 482)) "0 0 0" "the status rows show"

# The brush strokes from each pointer position the window hears to the next, so the wall runs
# along the whole drag however few frames see it.
xdotool mousemove "$(sx 200)" "$(sy $((bar + 300)))" mousedown 1
for x in 240 280 320 360 400 440; do xdotool mousemove "$(sx $x)" "$(sy $((bar + 300)))"; done
xdotool mouseup 1
expect_rgb 320 $((bar + 300)) "0 0 0" "the wall brush dragged along row 300"

xdotool key w  # the water brush
xdotool mousemove "$(sx 320)" "$(sy $((bar + 200)))" mousedown 1
sleep 1.5  # how much water
xdotool mouseup 1
expect_rgb 320 $((bar + 297)) "0 0 170" "water poured at row 200 resting on the wall" 30
expect_rgb 320 $((bar + 320)) "255 255 255" "nothing under the wall" 1

# File is the first title (x 0-35); its items are 16 pixels high from y 22, under the 19-pixel bar
# and the drop-down's edge: the fifth, Save, comes after New at three sizes and Open. The window
# takes input in the order it comes: the drop-down is open when the second click arrives.
xdotool mousemove "$(sx 12)" "$(sy 9)" click 1 mousemove "$(sx 30)" "$(sy $((22 + 4 * 16 + 8)))" click 1
saved_scene() { compgen -G "$scenes/scene-1-*.bmp"; }
wait_until 20 saved_scene >/dev/null || true
saved=$(saved_scene || true)
[ -n "$saved" ] || { echo "File > Save wrote no scene into $scenes: $(ls "$scenes")"; exit 1; }
echo "File > Save: $(basename "$saved")"
[ "$(head -c 2 "$saved")" = BM ] || { echo "the saved scene is no bitmap"; exit 1; }

xdotool key Escape
expect_exit_zero "$APP_PID" 20 "after Escape"
[ -f "$scenes/autosave.bmp" ] || { echo "no autosave after closing"; exit 1; }
echo "the scene was kept: $scenes/autosave.bmp"
