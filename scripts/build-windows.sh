#!/usr/bin/env bash
# Builds Ondrel for 64-bit Windows with MinGW-w64: scripts/build-windows.sh [--test] [DIR]
# Installs what it needs first (scripts/install-deps.sh windows).
# DIR (build-windows by default) then holds run/: ondrel.exe, Data0.cdf and Media/, a folder that
# runs as it is on Windows, or under Wine: cd build-windows/run && wine ondrel.exe
# The build runs the media compiler under Wine, in a private prefix made in DIR/wine-prefix.
# With --test it then runs the Windows tests under Wine: the platform contract tests, the
# portable suites and the real program in an X server (Xvfb), two at a time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
test=0
if [ "${1:-}" = "--test" ]; then test=1; shift; fi
dir=$(realpath -m "${1:-$root/build-windows}")  # Wine takes its prefix as an absolute path
jobs=$(nproc)
"$root/scripts/install-deps.sh" windows  # MinGW-w64, Wine, and libpng and giflib built for Windows

cmake --no-warn-unused-cli -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDREL_WERROR=ON -DONDREL_REQUIRE_ALL=ON >/dev/null
cmake --build "$dir" -j "$jobs"
echo "Windows build: $dir/run/ondrel.exe (with Data0.cdf and Media/ beside it)"
[ $test -eq 1 ] || exit 0

source "$root/scripts/wine-session.sh"
start_wine_session "$dir"
(cd "$dir" && ctest --output-on-failure -j "$jobs")
