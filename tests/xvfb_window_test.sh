# The real program in a real X session: its window appears with its caption, and closing it
# through the window manager ends the process with exit code 0.
# Arguments: the ondrel executable, the build folder.
source "$(dirname "$0")/support/xsession.sh"
program=$1
caption="Ondrel - from Corvane - Version 1.0"

start_x_session
start_program "$program" "$caption"
id=$WINDOW_ID
[ "$(xdotool getwindowname "$id")" = "$caption" ] || { echo "wrong caption"; exit 1; }
geometry=$(xdotool getwindowgeometry "$id" | grep Geometry)
echo "window $id: $geometry"
# The 640 x 480 client area, enlarged by a whole factor on a desktop at least twice its size.
size=$(echo "$geometry" | grep -o '[0-9]*x[0-9]*')
w=${size%x*}; h=${size#*x}
[ $((w % 640)) -eq 0 ] && [ $((h % 480)) -eq 0 ] && [ $((w / 640)) -eq $((h / 480)) ] || { echo "window is $size"; exit 1; }

wmctrl -c "$caption"
expect_exit_zero "$APP_PID" 20 "after closing through the window manager"
