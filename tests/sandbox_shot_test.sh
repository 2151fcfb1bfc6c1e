# ondrel-sandbox-shot keeps to a scene folder of its own: run twice at once beside a folder another
# run could have named (the name an unseeded std::rand() gives first), each writes the same picture
# (a PNG), leaves that folder and what is in it alone, and leaves nothing of its own behind; and
# it shows the window as a screen of a given size does.
# Arguments: ondrel-replay (unused), the build folder, whose run/ holds ondrel-sandbox-shot.
set -euo pipefail
shot=$(realpath "$2")/run/ondrel-sandbox-shot
[ -x "$shot" ] || { echo "no $shot in this build (it needs libpng)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR/ondrel-sandbox-shot-1804289383/ondrel/scenes"
echo "someone else's" >"$TMPDIR/ondrel-sandbox-shot-1804289383/keep.txt"

"$shot" "$work/one.png" &
first=$!
"$shot" "$work/two.png"
wait "$first"
for png in one two; do
  [ "$(head -c 4 "$work/$png.png" | od -An -c | tr -d ' ')" = "211PNG" ] || { echo "$png.png is no PNG"; exit 1; }
done
cmp "$work/one.png" "$work/two.png" || { echo "two runs at once drew different pictures"; exit 1; }
echo "two runs at once: the same picture ($(stat -c %s "$work/one.png") bytes)"
[ -f "$TMPDIR/ondrel-sandbox-shot-1804289383/keep.txt" ] || { echo "another run's folder was deleted"; exit 1; }
left=$(ls -A "$TMPDIR")
[ "$left" = "ondrel-sandbox-shot-1804289383" ] || { echo "left behind in the temporary folder: $left"; exit 1; }
echo "another run's folder stays; nothing of the tool's own is left"

# --screen WxH[@D]: what a screen of that many device pixels shows of the window. A phone's
# 390 x 844 points at 3 device pixels each is smaller than the 640-wide window in points, so the
# window fills its width at a fractional factor: 1170 device pixels wide.
"$shot" --screen 1170x2532@3 "$work/phone.png"
width=$(od -An -tu1 -j16 -N4 "$work/phone.png" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
[ "$width" -eq 1170 ] || { echo "on a phone's screen the window is $width device pixels wide, not 1170"; exit 1; }
echo "on a phone's screen: the window fills its 1170 device pixels"
for bad in "--help" "--screen 0x800" "--screen 1280" "--screen 1280x800junk" "--screen 1280x800@" "--screen 1280x800@9" "--size 1280x800"; do
  code=0
  if [ "$bad" = --help ]; then "$shot" --help 2>/dev/null || code=$?; else "$shot" $bad "$work/bad.png" 2>/dev/null || code=$?; fi
  [ "$code" -eq 2 ] || { echo "ondrel-sandbox-shot $bad exited $code, not 2"; exit 1; }
done
echo "a bad --screen is refused with 2"
