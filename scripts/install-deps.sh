#!/usr/bin/env bash
# Installs the Debian packages Ondrel needs: scripts/install-deps.sh [demo|web|all]
#   demo  what building and running the demonstration needs (the compiler, CMake, SDL2, xdpyinfo
#         to look for a display, and libpng and giflib for recording when there is none)
#   web   what building the web page needs (the compiler and CMake for the media, emscripten,
#         node for emscripten's tools, python3 to serve the page), and Chromium for its test
#   all   all of these, and what the tests and benchmarks need (the default), with the Windows
#         build and Wine to run it (MinGW-w64, GoogleTest's sources for it, Wine 64-bit), zip for
#         the release files, and lintian and mmdebstrap to check the Debian packages
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
tests=(
  libgtest-dev libgmock-dev libbenchmark-dev
  liballegro4-dev  # the peer some benchmarks measure beside; no program links it
  xvfb xauth x11-apps xdotool wmctrl openbox imagemagick
  clang libclang-rt-14-dev  # the fuzzers (libFuzzer)
  g++-mingw-w64-x86-64-posix googletest wine wine64
  zip unzip  # the release files (scripts/package.sh), and unpacking them to build against
  lintian mmdebstrap  # the Debian packages checked, and installed into a fresh Debian root
)

case "${1:-all}" in
  demo) packages=("${demo[@]}") ;;
  web) packages=("${web[@]}") ;;
  all) packages=("${demo[@]}" "${web[@]}" "${tests[@]}") ;;
  *) echo "usage: $0 [demo|web|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
