# ondrel-sandbox-shot keeps to a scene folder of its own: run twice at once beside a folder another
# run could have named (the name an unseeded std::rand() gives first), each writes the same picture
# (a PNG), leaves that folder and what is in it alone, and leaves nothing of its own behind.
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
