# The real program in a real X session, played with the mouse and keyboard: a wall drawn with the
# left button, water poured above it with the space key, a screenshot showing the water resting on
# the wall; Escape ends the process with exit code 0.
# Arguments: the ondrel executable, the build folder.
source "$(dirname "$0")/support/xsession.sh"
source "$(dirname "$0")/support/water_on_wall.sh"
program=$1
build=$2
caption="Ondrel - from Corvane - Version 1.0"

start_x_session
start_program "$program" "$caption"
id=$WINDOW_ID
locate_window "$id"  # sx and sy: the screen position of a client pixel

activate_window "$id"
draw_wall_and_pour 1
expect_water_on_wall "$build/xvfb_water.png"

xdotool key Escape
expect_exit_zero "$APP_PID" 20 "after Escape"
