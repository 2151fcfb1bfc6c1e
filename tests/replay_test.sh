# ondrel-replay as a user runs it: malformed scripts are refused before anything runs, with the
# line number and exit code 2; a good script runs, writes what was asked, and ends early on Escape.
# Arguments: the ondrel-replay executable, the build folder.
set -euo pipefail
run_dir=$(dirname "$1")
replay="$run_dir/ondrel-replay"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
formats=" ${ONDREL_REPLAY_FORMATS-png gif} "
if [[ $formats != *" png "* || $formats != *" gif "* ]]; then
  echo "skipped: this ondrel-replay was built without libpng or giflib"
  exit 77
fi

# Each case: the script text, then what the message must say.
refused() {
  printf '%b' "$1" > "$work/bad.txt"
  set +e
  message=$(cd "$run_dir" && "$replay" --scene "$work/never.bmp" "$work/bad.txt" 2>&1)
  code=$?
  set -e
  [ "$code" -eq 2 ] || fail "exit code $code for: $1"
  echo "$message" | grep -qF -- "$2" || fail "message '$message' lacks '$2'"
  [ ! -e "$work/never.bmp" ] || fail "something ran for: $1"
}
refused '1 move 3\n' 'bad.txt:1: move takes two numbers'
refused '# comment\n\n2 move 1 x\n' 'bad.txt:3: move takes two whole numbers'
refused '5 tap space\n4 tap space\n' 'bad.txt:2: frame 4 comes before frame 5'
refused '0 tap space\n' 'bad.txt:1: frame must be a whole number from 1 on'
refused '1 press middle\n' "bad.txt:1: unknown button 'middle'"
refused '1 keydown shift\n' "bad.txt:1: unknown key 'shift'"
refused '1 keydown 256\n' "bad.txt:1: unknown key '256'"
refused '1 jump\n' "bad.txt:1: unknown verb 'jump'"
refused '1\n' 'bad.txt:1: an event needs a verb'
refused '1 tap\n' 'bad.txt:1: tap takes one key'
refused '1 move +-5 3\n' 'bad.txt:1: move takes two whole numbers'
refused '1 keydown +-65\n' "bad.txt:1: unknown key '+-65'"

set +e
(cd "$run_dir" && "$replay" --frames x "$work/bad.txt" >/dev/null 2>&1)
[ $? -eq 2 ] || fail "a bad option must give exit code 2"
(cd "$run_dir" && "$replay" "$work/missing.txt" >/dev/null 2>&1)
[ $? -eq 2 ] || fail "a missing script must give exit code 2"
set -e

# A tap of space at frame 3 pours one span of 11 cells under the pointer; it falls one row a frame.
cat > "$work/pour.txt" <<'SCRIPT'
1 move 100 50   # the pointer
3 tap space
SCRIPT
(cd "$run_dir" && "$replay" --frames 5 --spans "$work/spans.txt" --window "$work/window.png" "$work/pour.txt" 2>/dev/null)
[ "$(cat "$work/spans.txt")" = "95 105 53" ] || fail "spans after 5 frames: $(cat "$work/spans.txt")"
[ -s "$work/window.png" ] || fail "no window image"

# Escape ends the run early; the scene is the one after the last frame that ran.
cat > "$work/escape.txt" <<'SCRIPT'
1 move 10 20
1 press left
2 move 30 20
3 tap escape
SCRIPT
message=$(cd "$run_dir" && "$replay" --frames 1000 --scene "$work/scene.bmp" --gif "$work/run.gif" "$work/escape.txt" 2>&1 || true)
echo "$message" | grep -q "2 frames run, program exit code 0" || fail "escape run: $message"
[ -s "$work/scene.bmp" ] || fail "no scene after an escaped run"
# The wall drawn in frame 2 is in the saved scene: pixel (20, 20) is index 0, the wall's, and
# (20, 30) index 15, the empty scene's. The 640 × 480 bitmap file keeps its rows bottom-up after
# 1078 bytes of headers and colour table.
index_at() { od -An -tu1 -j $((1078 + (479 - $2) * 640 + $1)) -N1 "$work/scene.bmp" | tr -d ' '; }
[ "$(index_at 20 20)" = 0 ] || fail "the wall is not in the saved scene: index $(index_at 20 20) at (20, 20)"
[ "$(index_at 20 30)" = 15 ] || fail "the saved scene is not empty at (20, 30): index $(index_at 20 30)"
# A folder is no script; an output that cannot be written is refused before the run, which
# then does not start (it would print how many frames ran).
mkdir "$work/folder"
expect_refusal() {  # message, then the arguments
  local want=$1
  shift
  set +e
  message=$(cd "$run_dir" && "$replay" "$@" 2>&1)
  code=$?
  set -e
  [ "$code" -eq 2 ] || fail "exit code $code for: $*"
  echo "$message" | grep -qF -- "$want" || fail "message '$message' lacks '$want'"
  if echo "$message" | grep -q "frames run"; then fail "the run started for: $*"; fi
}
expect_refusal "$work/folder is a folder, not a script" "$work/folder"
expect_refusal "cannot write $work/folder: it is a folder" --gif "$work/folder" "$work/pour.txt"
expect_refusal "cannot write $work/folder: it is a folder" --scene "$work/folder" "$work/pour.txt"
expect_refusal "cannot write $work/none/w.png: No such file or directory" --window "$work/none/w.png" "$work/pour.txt"
expect_refusal "cannot write $work/none/s.txt: No such file or directory" --spans "$work/none/s.txt" "$work/pour.txt"
[ "$(ls -A "$work/folder")" = "" ] || fail "a refused run left files behind"

# Events the run never reached are reported.
message=$(cd "$run_dir" && "$replay" --frames 2 "$work/pour.txt" 2>&1)
echo "$message" | grep -qF "1 event(s) after the last frame run (2) were not delivered, the first at line 2 (frame 3)" ||
  fail "undelivered events not reported: $message"

# Nothing presented (frame skip 10, 0 frames): --window and --gif alike give the window as first
# shown, a black 640 × 480 picture (one frame in the GIF), and say why.
message=$(cd "$run_dir" && "$replay" --frames 0 --window "$work/first.png" --gif "$work/first.gif" "$work/pour.txt" 2>&1) ||
  fail "--frames 0 with --window and --gif failed: $message"
echo "$message" | grep -qF "no frame was presented in the 0 frame(s) run" || fail "no note on the unpresented run: $message"
command -v convert >/dev/null || fail "ImageMagick's convert is needed to read the pictures (scripts/install-deps.sh)"
[ "$(convert "$work/first.png" -format '%wx%h %[pixel:p{320,240}]' info:)" = "640x480 srgb(0,0,0)" ] || fail "first.png"
[ "$(convert "$work/first.gif" -format '%wx%h %[pixel:p{320,240}]\n' info:)" = "640x480 srgb(0,0,0)" ] || fail "first.gif"

# At frame skip 1 a frame is presented every idle turn, 16 ms apart, faster than the 20 ms a GIF
# frame must last at least (browsers show 10 ms or less as 100 ms): 40 frames become 20 images of
# 3 or 4 cs, whose delays add up to the run's 40 × 16 ms.
cat > "$work/fast.txt" <<'SCRIPT'
1 move 320 100
1 tap subtract
1 tap subtract
1 tap subtract
1 tap subtract
1 tap subtract
1 tap subtract
1 tap subtract
1 tap subtract
1 tap subtract
1 keydown space
SCRIPT
(cd "$run_dir" && "$replay" --frames 40 --gif "$work/fast.gif" "$work/fast.txt" 2>/dev/null)
delays=$(identify -format '%T ' "$work/fast.gif")
read -r -a delay <<<"$delays"
total=0
for d in "${delay[@]}"; do
  [ "$d" -ge 3 ] && [ "$d" -le 4 ] || fail "frame skip 1: a delay of $d cs (all: $delays)"
  total=$((total + d))
done
[ "${#delay[@]}" -eq 20 ] && [ "$total" -eq 64 ] ||
  fail "frame skip 1: ${#delay[@]} images and $total cs, not 20 and 64 (delays: $delays)"

# Every output is readable by others (mode 0644 under umask 022), whole or not at all: a GIF that
# cannot be finished (a file-size limit stands for a full disk) leaves the older file alone.
(umask 022 && cd "$run_dir" && "$replay" --frames 12 --gif "$work/modes.gif" --window "$work/modes.png" \
   --scene "$work/modes.bmp" --spans "$work/modes.txt" "$work/pour.txt" 2>/dev/null)
for f in modes.gif modes.png modes.bmp modes.txt; do
  [ "$(stat -c %a "$work/$f")" = 644 ] || fail "$f has mode $(stat -c %a "$work/$f")"
done
mkdir "$work/full"
echo "older" > "$work/full/run.gif"
set +e
message=$(trap '' XFSZ; ulimit -f 1; cd "$run_dir" && "$replay" --frames 40 --gif "$work/full/run.gif" "$work/pour.txt" 2>&1)
code=$?
set -e
[ "$code" -eq 1 ] || fail "exit code $code for a GIF that could not be written"
echo "$message" | grep -qF "could not write $work/full/run.gif: File too large" || fail "message: $message"
[ "$(cat "$work/full/run.gif")" = "older" ] || fail "the older GIF was changed"
[ "$(ls -A "$work/full")" = "run.gif" ] || fail "left behind: $(ls -A "$work/full")"
echo "replay: all cases passed"
