# Started from another folder, the programs find Data0.cdf and Media/ beside their executable, as
# a program started from the Windows shell does, or in ../share/ondrel from it, as an installed
# program does; found nowhere, they say what is missing and where they looked, and go on.
# Arguments: the ondrel-replay executable, the build folder.
set -euo pipefail
run_dir=$(cd "$(dirname "$1")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
mkdir "$work/elsewhere" "$work/lone"
printf '1 move 100 50\n3 tap space\n' > "$work/pour.txt"

# From another folder: the pack's palette makes the empty scene white (a missing pack leaves it
# black), and outputs named relative to that folder land there.
cd "$work/elsewhere"
message=$("$run_dir/ondrel-replay" --frames 12 --window shown.png "$work/pour.txt" 2>&1) || fail "run failed: $message"
echo "$message" | grep -q "cannot find" && fail "files reported missing: $message"
[ -s shown.png ] || fail "the window image is not in the folder the run started in"
command -v convert >/dev/null || fail "ImageMagick's convert is needed to read the picture (scripts/install-deps.sh)"
[ "$(convert shown.png -format '%[pixel:p{10,10}]' info:)" = "srgb(255,255,255)" ] || fail "the scene is not white"
# The real program follows the same rule before it opens its window (here it finds no display).
# A build without SDL2 has no real program; the gallery likewise.
if [ -x "$run_dir/ondrel" ]; then
  message=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$run_dir/ondrel" 2>&1 || true)
  echo "$message" | grep -q "cannot find" && fail "ondrel reported files missing: $message"
else
  echo "no ondrel in this build: its cases are left out"
fi

# Installed: the program in bin/, its data in share/ondrel/ beside bin/.
mkdir -p "$work/installed/bin" "$work/installed/share/ondrel"
cp "$run_dir/ondrel-replay" "$work/installed/bin/"
cp -r "$run_dir/Data0.cdf" "$run_dir/Media" "$work/installed/share/ondrel/"
rm -f shown.png
message=$("$work/installed/bin/ondrel-replay" --frames 12 --window shown.png "$work/pour.txt" 2>&1) || fail "installed run failed: $message"
echo "$message" | grep -q "cannot find" && fail "the installed program reported files missing: $message"
[ -s shown.png ] || fail "the installed program's window image is not in the folder the run started in"
if command -v convert >/dev/null; then
  [ "$(convert shown.png -format '%[pixel:p{10,10}]' info:)" = "srgb(255,255,255)" ] || fail "the installed program's scene is not white"
fi

# Installed with a data folder of its own, share/<program>, which comes before Ondrel's.
mkdir -p "$work/own/bin" "$work/own/share/ondrel-replay" "$work/own/share/ondrel"
cp "$run_dir/ondrel-replay" "$work/own/bin/"
cp -r "$run_dir/Data0.cdf" "$run_dir/Media" "$work/own/share/ondrel-replay/"
cp -r "$run_dir/Media" "$work/own/share/ondrel/"  # Ondrel's lacks the pack: its own folder must be taken
rm -f shown.png
message=$("$work/own/bin/ondrel-replay" --frames 12 --window shown.png "$work/pour.txt" 2>&1) || fail "run with its own data folder failed: $message"
echo "$message" | grep -q "cannot find" && fail "the program with its own data folder reported files missing: $message"
[ "$(convert shown.png -format '%[pixel:p{10,10}]' info:)" = "srgb(255,255,255)" ] || fail "the scene is not white (own data folder)"

# Found nowhere: the four folders are named with what they lack, and the run goes on.
cp "$run_dir/ondrel-replay" "$work/lone/"
message=$("$work/lone/ondrel-replay" --frames 3 "$work/pour.txt" 2>&1) || fail "a run without media failed: $message"
expected="ondrel-replay: cannot find Data0.cdf, Media/Sprites.bmp in $work/elsewhere (the current folder); $work/lone (the program's folder) lacks Data0.cdf, Media/Sprites.bmp; $work/share/ondrel-replay lacks Data0.cdf, Media/Sprites.bmp; $work/share/ondrel lacks Data0.cdf, Media/Sprites.bmp. Going on without them."
echo "$message" | grep -qF "$expected" || fail "message: $message"
echo "$message" | grep -qF "3 frames run" || fail "the run did not go on: $message"
if [ -x "$run_dir/ondrel" ]; then
  cp "$run_dir/ondrel" "$work/lone/"
  message=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$work/lone/ondrel" 2>&1 || true)
  echo "$message" | grep -qF "ondrel: cannot find Data0.cdf, Media/Sprites.bmp in $work/elsewhere (the current folder); $work/lone (the program's folder)" ||
    fail "ondrel message: $message"
fi

# The gallery says the same under its own name; it cannot show itself without its media, so it
# then says that too and ends with exit code 1.
if [ -x "$run_dir/ondrel-gallery" ]; then
  cp "$run_dir/ondrel-gallery" "$work/lone/"
  set +e
  message=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$work/lone/ondrel-gallery" 2>&1)
  code=$?
  set -e
  [ "$code" -eq 1 ] || fail "ondrel-gallery without its media ended with $code: $message"
  echo "$message" | grep -qF "ondrel-gallery: cannot find Media/Sprites.bmp, Media/font8x12.fon in $work/elsewhere (the current folder); $work/lone (the program's folder)" ||
    fail "ondrel-gallery message: $message"
  echo "$message" | grep -qF "ondrel-gallery: cannot read the palette of .\\Media\\Sprites.bmp" || fail "ondrel-gallery message: $message"
fi

# One file missing beside the program is named alone.
cp -r "$run_dir/Media" "$work/lone/"
message=$("$work/lone/ondrel-replay" --frames 1 "$work/pour.txt" 2>&1)
echo "$message" | grep -qF "$work/lone (the program's folder) lacks Data0.cdf; $work/share/ondrel-replay lacks Data0.cdf, Media/Sprites.bmp; $work/share/ondrel lacks Data0.cdf, Media/Sprites.bmp." ||
  fail "partial: $message"
echo "start folder: all cases passed"
