#!/usr/bin/env bash
# Installs the Debian packages Ondrel needs to build, run and test. Does nothing when all are
# there already; uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libpng-dev libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev liballegro4-dev
  xvfb xauth x11-utils x11-apps xdotool wmctrl openbox imagemagick
)

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
