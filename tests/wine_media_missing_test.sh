# ondrel.exe alone in a folder, started from another folder without media: standard error names
# each missing file and the folders looked in, the window still appears (missing media never stop
# start-up), and Escape ends it with exit code 0.
# Arguments: ondrel.exe, the build folder, the command that runs a Windows program (Wine).
source "$(dirname "$0")/support/xsession.sh"
program=$1
build=$2
run_windows=$3
caption="Ondrel - from Corvane - Version 1.0"

lonely="$build/wine_media_missing/program"
elsewhere="$build/wine_media_missing/elsewhere"
rm -rf "$build/wine_media_missing"
mkdir -p "$lonely" "$elsewhere"
cp "$program" "$lonely/"
errors="$build/wine_media_missing/stderr"

start_x_session
(cd "$elsewhere" && exec "$run_windows" "$lonely/$(basename "$program")" 2>"$errors") &
APP_PID=$!
id=$(wait_for_window "$caption")
expected='ondrel: cannot find Data0.cdf, Media\\Sprites.bmp in .*\\elsewhere (the current folder); .*\\program (the program.s folder) lacks Data0.cdf, Media\\Sprites.bmp; .*\\wine_media_missing\\share\\ondrel lacks Data0.cdf, Media\\Sprites.bmp. Going on without them.$'
# Written before the window opens, the message still reaches the file through Wine in its own
# time: look for it for up to five seconds.
for _ in $(seq 50); do
  said=$(tr -d '\r' <"$errors")  # the Windows runtime ends its lines with CR LF
  grep -q "$expected" <<<"$said" && break
  sleep 0.1
done
echo "$said"
grep -q "$expected" <<<"$said" || { echo "no word of the missing files, or not as expected"; exit 1; }
activate_window "$id"
xdotool key Escape
expect_exit_zero "$APP_PID" 30 "after Escape"
