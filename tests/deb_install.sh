#!/usr/bin/env bash
# The Debian package on this machine, as a player gets it: installed with dpkg -i, ondrel-replay
# run from /usr/bin on a script in another folder (it finds its data in /usr/share/ondrel), its
# PNG checked, the package's headers and pkg-config file in place; then removed again, leaving
# nothing behind. Needs root (or sudo). Argument: the .deb file (scripts/package.sh makes it).
set -euo pipefail
deb=$(realpath "$1")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
fail() { echo "FAIL: $*"; exit 1; }
if dpkg -s ondrel >/dev/null 2>&1; then fail "a package ondrel is installed already: not touching it"; fi
[ -e /usr/bin/ondrel-replay ] && fail "/usr/bin/ondrel-replay exists, from elsewhere: not touching it"
work=$(mktemp -d)
remove() { $sudo dpkg -r ondrel >/dev/null 2>&1 || true; rm -rf "$work"; }
trap remove EXIT

$sudo dpkg -i "$deb" >/dev/null
mkdir "$work/elsewhere"
printf '1 move 100 50\n3 tap space\n' >"$work/pour.txt"
cd "$work/elsewhere"
message=$(/usr/bin/ondrel-replay --frames 12 --window shown.png ../pour.txt 2>&1) || fail "ondrel-replay failed: $message"
echo "$message" | grep -q "cannot find" && fail "the installed ondrel-replay misses its data: $message"
[ "$(identify -format '%w %h' shown.png)" = "640 480" ] || fail "shown.png is not the 640 x 480 window"
# The pack's palette makes the empty scene white (without its data the scene stays black).
[ "$(convert shown.png -format '%[pixel:p{10,10}]' info:)" = "srgb(255,255,255)" ] || fail "the scene is not white"
for file in /usr/bin/ondrel /usr/bin/ondrel-gallery /usr/share/ondrel/Data0.cdf /usr/share/ondrel/Media/font8x12.fon \
            /usr/include/ondrel/gfx/surface.h; do
  [ -e "$file" ] || fail "the package lacks $file"
done
PKG_CONFIG_PATH=/usr/lib/pkgconfig pkg-config --exists ondrel-headless || fail "pkg-config does not find ondrel-headless"

$sudo dpkg -r ondrel >/dev/null
[ ! -e /usr/bin/ondrel-replay ] && [ ! -e /usr/share/ondrel ] && [ ! -e /usr/include/ondrel ] ||
  fail "dpkg -r left files behind"
echo "deb: installed, ran from /usr/bin, removed"
