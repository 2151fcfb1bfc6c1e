# Menus and push buttons in a real window: ondrel-gallery played with the mouse and keyboard
# through the X server. A drop-down opens over the window and shows its check mark; picking an
# item from it turns the page, or stops the animation; a push button turns the page back;
# Escape closes an open drop-down without reaching the window, and a second Escape ends the
# gallery with exit code 0.
# Arguments: the ondrel executable (unused), the build folder, whose run/ holds ondrel-gallery.
source "$(dirname "$0")/support/xsession.sh"
gallery=$2/run/ondrel-gallery
[ -x "$gallery" ] || { echo "no $gallery in this build"; exit 77; }
shots=$(mktemp -d)

# A screen with room for the gallery's window, enlarged twice (1280 x 998), and the frame openbox
# puts round it. On one 1024 high the window and its frame do not fit: openbox moves the window up
# to keep it on the screen, and it is moved back, while the test would measure it.
start_x_session 1280x1100
trap 'rm -rf "$shots"; stop_x_session' EXIT
start_program "$gallery" "Ondrel gallery"
id=$WINDOW_ID
# What the window shows: the 19-pixel menu bar, then the 640 x 480 client area. The window
# appears as high as the client area alone (1280 x 960) and gets the menu bar's height a moment
# later (1280 x 998): measure it once it has it.
gallery_sized() { locate_window "$id"; [ "$SCALE" -ge 1 ] && [ "$HEIGHT" -eq $((499 * SCALE)) ]; }
wait_until 20 gallery_sized || { echo "the window is ${WIDTH}x$HEIGHT, not 640 x 499 enlarged by a whole factor"; exit 1; }
# The window answers a click within a frame or two, later on a loaded machine: each click is
# followed by a check that looks again until the window shows the answer (expect_rgb).
click() { xdotool mousemove "$(sx "$1")" "$(sy "$2")" click 1; }
# shot NAME TOP BOTTOM: the window's rows TOP to BOTTOM (of what it shows) as raw RGB.
shot() {
  xwd -root -silent | convert xwd:- -crop "$((640 * SCALE))x$((($3 - $2 + 1) * SCALE))+$X+$((Y + $2 * SCALE))" +repage \
    "rgb:$shots/$1"
}
same() { cmp -s "$shots/$1" "$shots/$2"; }
header() { shot "$1" 19 50; }   # client rows 0-31: the page's title and where it is in the tour
page() { shot "$1" 51 450; }    # client rows 32-431: what the page draws
# header_until NAME REF same|other: takes the header as NAME until it is (or is not) REF's.
header_until() { wait_until 20 header_is "$@"; }
header_is() { header "$1"; if [ "$3" = same ]; then same "$1" "$2"; else ! same "$1" "$2"; fi; }
page_moves() { page moving-2; ! same moving-1 moving-2; }

activate_window "$id"
# The titles: "Gallery" over x 0-53, "Pages" over 54-95, "View" over 96-131. A drop-down lies
# under its title, its items 16 pixels high from y 22; a check mark starts 8 pixels right of the
# drop-down's left edge, 4 below its item's top. The page buttons are 96 x 28 at client y 442,
# 9 apart from x 9: "Shapes" is the first.
background="34 34 34"
expect_rgb 630 57 "$background" "at start: the page's background"
header shapes
page moving-1
wait_until 20 page_moves || { echo "the first page stands still with animation on"; exit 1; }

click 66 9
expect_rgb 66 60 "192 192 192" "Pages open: the drop-down over the page"
xdotool mousemove "$(sx 84)" "$(sy 110)"
expect_rgb 64 110 "0 0 128" "the item under the pointer (Tasks) highlighted"
xdotool click 1
expect_rgb 66 60 "$background" "picked: the drop-down gone"
header_until tasks shapes other || { echo "Pages > Tasks did not change the page"; exit 1; }
echo "Pages > Tasks: the header changed"

click 57 475
header_until back shapes same || { echo "the Shapes button did not bring the first page back"; exit 1; }
echo "the Shapes button: the first page again"

click 108 9
expect_rgb 110 26 "0 0 0" "View open: Animation has its check mark"
click 126 30
expect_rgb 110 26 "$background" "View > Animation picked: the drop-down gone"
page still-1
sleep 0.5
page still-2
same still-1 still-2 || { echo "the page moves with animation off"; exit 1; }
echo "View > Animation: the page stands still"
click 108 9
expect_rgb 110 26 "192 192 192" "View open again: no check mark"

xdotool key Escape
expect_rgb 110 26 "$background" "Escape: the drop-down closed"
kill -0 "$APP_PID" 2>/dev/null || { echo "the first Escape reached the window"; exit 1; }
xdotool key Escape
expect_exit_zero "$APP_PID" 20 "after the second Escape"
