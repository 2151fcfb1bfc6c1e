#!/usr/bin/env bash
# Compiles the framework and the application against the real <windows.h> of MinGW-w64, to keep
# the code buildable on Windows (compile only: the platform layer there is Windows itself).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
compiler=x86_64-w64-mingw32-g++-posix
if ! command -v "$compiler" >/dev/null; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix
fi
cd "$root"
status=0
for source in tasks/*.cpp io/*.cpp gfx/*.cpp win/*.cpp water/*.cpp app/*.cpp; do
  "$compiler" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I. "$source" || { echo "FAILED: $source"; status=1; }
done
[ $status -eq 0 ] && echo "the framework and the application compile against <windows.h>"
exit $status
