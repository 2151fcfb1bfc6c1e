#!/usr/bin/env bash
# Installs the Debian packages Ondrel needs: scripts/install-deps.sh [demo|web|windows|all]
#   demo     what building and running the demonstration needs (the compiler, CMake, SDL2,
#            xdpyinfo to look for a display, and libpng and giflib for recording when there is none)
#   web      what building the web page needs (the compiler and CMake for the media, emscripten,
#            node for emscripten's tools, python3 to serve the page), and Chromium for its test
#   windows  the Windows build and Wine to run it (MinGW-w64 with its zlib, GoogleTest's sources
#            for it, Wine 64-bit)
#   all      all of these, and what the tests and benchmarks need (the default), zip and unzip
#            for the release files, and lintian and mmdebstrap to check the Debian packages
# The web and Windows builds link the same libpng and giflib (and zlib) as Linux, built from
# Debian's source packages by scripts/build-image-libs.sh into build-deps/image-libs/: for them
# this adds a deb-src entry beside each of the system's Debian entries, once.
# Does nothing when everything is there already; uses sudo when not run as root.
set -euo pipefail

demo=(
  build-essential cmake pkg-config
  libsdl2-dev libpng-dev libgif-dev x11-utils
)
web=(
  build-essential cmake
  emscripten nodejs python3 chromium
)
windows=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64
  build-essential  # dpkg-dev: apt-get source unpacks with it
)
tests=(
  libgtest-dev libgmock-dev libbenchmark-dev
  liballegro4-dev  # the peer some benchmarks measure beside; no program links it
  xvfb xauth x11-apps xdotool wmctrl openbox imagemagick
  clang libclang-rt-14-dev  # the fuzzers (libFuzzer)
  zip unzip  # the release files (scripts/package.sh), and unpacking them to build against
  lintian mmdebstrap  # the Debian packages checked, and installed into a fresh Debian root
)

root=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-all}" in
  demo) packages=("${demo[@]}"); libraries=() ;;
  web) packages=("${web[@]}"); libraries=(web) ;;
  windows) packages=("${windows[@]}"); libraries=(windows) ;;
  all) packages=("${demo[@]}" "${web[@]}" "${windows[@]}" "${tests[@]}"); libraries=(windows web) ;;
  *) echo "usage: $0 [demo|web|windows|all]" >&2; exit 2 ;;
esac
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The image libraries of the web and Windows builds, once.
[ ${#libraries[@]} -gt 0 ] || exit 0
"$root/scripts/build-image-libs.sh" --built "${libraries[@]}" && exit 0
# Their sources: a deb-src entry beside each Debian entry of this release that apt has (one-line
# entries and deb822 stanzas alike), in files of our own.
added=/etc/apt/sources.list.d/ondrel-deb-src
if [ ! -f "$added.list" ] && [ ! -f "$added.sources" ]; then
  . /etc/os-release
  lines=$({ cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true; } | awk -v release="$VERSION_CODENAME" '
    $1 == "deb" { i = 2; if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) ++i; ++i }
                  if ($(i + 1) == release || index($(i + 1), release "-") == 1) { sub(/^deb/, "deb-src"); print } }')
  stanzas=$({ cat /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } | awk -v release="$VERSION_CODENAME" '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && enabled != "no") {
        n = split(suites, s, " "); own = ""
        for (k = 1; k <= n; ++k) if (s[k] == release || index(s[k], release "-") == 1) own = own " " s[k]
        if (own != "") { printf "Types: deb-src\nURIs: %s\nSuites:%s\nComponents: %s\n", uris, own, components
                         if (signed != "") printf "Signed-By: %s\n", signed
                         printf "\n" } }
      types = uris = suites = components = signed = enabled = ""
    }
    /^[ \t]*#/ { next }
    /^[ \t]*$/ { flush(); next }
    { key = tolower($1); sub(/^[^:]*:[ \t]*/, "") }
    key == "types:" { types = $0 } key == "uris:" { uris = $0 } key == "suites:" { suites = $0 }
    key == "components:" { components = $0 } key == "signed-by:" { signed = $0 } key == "enabled:" { enabled = $0 }
    END { flush() }')
  [ -n "$lines$stanzas" ] || { echo "$0: apt has no Debian entry for $VERSION_CODENAME to take the sources from" >&2; exit 1; }
  echo "Adding Debian's source packages to apt ($added.*)"
  [ -z "$lines" ] || printf '%s\n' "$lines" | "${sudo[@]}" tee "$added.list" >/dev/null
  [ -z "$stanzas" ] || printf '%s\n' "$stanzas" | "${sudo[@]}" tee "$added.sources" >/dev/null
  "${sudo[@]}" apt-get update -qq
fi
"$root/scripts/build-image-libs.sh" "${libraries[@]}"
