#!/usr/bin/env bash
# The release files (scripts/package.sh) as their users take them:
#  - none names a folder of the machine that made them: no file in any of them holds the path of
#    the source or build folders;
#  - lintian finds no error in the Debian packages (what it warns of is printed);
#  - the Debian packages go into a fresh Debian root (mmdebstrap) with apt-get install ./...: the
#    player's package alone pulls no development package; with ondrel-dev, tests/release/ builds
#    there with CMake (the template's program and the smallest one) and the smallest with
#    pkg-config, which runs; ondrel-replay runs from /usr/bin in another folder and finds its data,
#    the gallery answers --version; removing both packages leaves nothing of theirs;
#  - the MinGW developer archive, unpacked elsewhere: tests/release/ cross-built against it, and
#    smallest.exe run under Wine;
#  - the web developer archive, unpacked elsewhere: tests/release/ built into pages.
# Needs root (or sudo) for the Debian root. Arguments: the folder of the release files (dist/) and
# the Windows build folder (its Wine runner).
set -euo pipefail
dist=$(realpath "$1")
windows_build=$(realpath "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(Ondrel VERSION \([^ )]*\).*/\1/p' "$root/CMakeLists.txt")
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
mounts=()
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do $sudo umount "${mounts[i]}" || $sudo umount -l "${mounts[i]}" || true; done
  $sudo rm -rf --one-file-system "$work"
}
trap cleanup EXIT
deb=$dist/ondrel_${version}_amd64.deb
dev=$dist/ondrel-dev_${version}_amd64.deb
windows_dev=$dist/ondrel-dev-$version-windows-x86_64.zip
web_dev=$dist/ondrel-dev-$version-web.zip
for file in "$deb" "$dev" "$dist/ondrel-$version-windows-x86_64.zip" "$windows_dev" "$dist/ondrel-$version-web.zip" "$web_dev"; do
  [ -s "$file" ] || fail "no $file"
  printf '%-48s %8d KiB\n' "$(basename "$file")" $(( $(stat -c %s "$file") / 1024 ))
done

# The project that is built against each: tests/release/ with the sources it names beside it.
project=$work/project
mkdir -p "$project/template"
cp "$root/tests/release/CMakeLists.txt" "$root/tests/consumer/smallest.cpp" "$project/"
cp "$root/examples/template/main.cpp" "$project/template/"

# Unpacked, no release file names the folders it was made from.
mkdir "$work/unpacked"
for file in "$dist"/ondrel*"$version"*; do
  into=$work/unpacked/$(basename "$file")
  case $file in
    *.deb) dpkg-deb -x "$file" "$into" ;;
    *.zip) mkdir "$into" && (cd "$into" && unzip -q "$file") ;;
  esac
done
leaks=$(grep -rlF -e "$root" -e "$(realpath "$root/build")" "$work/unpacked" || true)
[ -z "$leaks" ] || fail "release files name the folder they were built in ($root): ${leaks//$work\/unpacked\//}"
echo "no release file names $root"

echo "== lintian =="
lintian --fail-on error --info "$deb" "$dev" || fail "lintian finds errors in the Debian packages"

echo "== the Debian packages in a fresh Debian root =="
fresh=$work/root
# The machine's package cache is read through an overlay, so that nothing is written into it.
mkdir -p "$work/cache-upper" "$work/cache-work"
$sudo mmdebstrap --mode=root --variant=apt --dpkgopt=force-unsafe-io --include=g++,cmake,make --skip=cleanup/apt/lists \
  --setup-hook="mkdir -p \"\$1/var/cache/apt/archives\" && mount -t overlay overlay -o lowerdir=/var/cache/apt/archives,upperdir=$work/cache-upper,workdir=$work/cache-work \"\$1/var/cache/apt/archives\"" \
  --customize-hook='umount "$1/var/cache/apt/archives"' \
  bookworm "$fresh" >"$work/mmdebstrap.log" 2>&1 || { tail -20 "$work/mmdebstrap.log"; fail "making a fresh Debian root"; }
# What apt, CMake and the compilers need of the system: the processes and the device nodes.
$sudo mount -t proc proc "$fresh/proc"
mounts+=("$fresh/proc")
$sudo mount --bind /dev "$fresh/dev"
mounts+=("$fresh/dev")
rm -rf "$work/cache-upper"/* "$work/cache-work"/*
$sudo mount -t overlay overlay -o lowerdir=/var/cache/apt/archives,upperdir="$work/cache-upper",workdir="$work/cache-work" \
  "$fresh/var/cache/apt/archives"
mounts+=("$fresh/var/cache/apt/archives")
mkdir -p "$fresh/release" "$fresh/elsewhere"
cp "$deb" "$dev" "$fresh/release/"
cp -r "$project" "$fresh/release/project"
printf '1 move 100 50\n3 tap space\n' >"$fresh/release/pour.txt"
in_root() { $sudo chroot "$fresh" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }

# The player's package alone: what apt-get would install with it, recommended packages included.
pulled=$(in_root apt-get install --simulate -o APT::Install-Recommends=true "/release/$(basename "$deb")" |
         sed -n 's/^Inst \([^ ]*\).*/\1/p')
echo "the player's package pulls $(wc -l <<<"$pulled") packages"
development=$(grep -E -- '-dev$|^llvm|^libllvm|^clang|^gcc-|^g\+\+' <<<"$pulled" || true)
[ -z "$development" ] || fail "the player's package pulls development packages: $(echo $development)"

in_root apt-get install -y -qq "/release/$(basename "$deb")" "/release/$(basename "$dev")" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "apt-get install of the packages"; }
said=$(in_root sh -c 'cd /elsewhere && ondrel-replay --frames 12 --window shown.png /release/pour.txt' 2>&1) ||
  fail "ondrel-replay from /usr/bin: $said"
grep -q "cannot find" <<<"$said" && fail "the installed ondrel-replay misses its data: $said"
[ "$(identify -format '%w %h' "$fresh/elsewhere/shown.png")" = "640 480" ] || fail "shown.png is not the 640 x 480 window"
# The pack's palette makes the empty scene white (without its data the scene stays black).
[ "$(convert "$fresh/elsewhere/shown.png" -format '%[pixel:p{10,10}]' info:)" = "srgb(255,255,255)" ] ||
  fail "the installed ondrel-replay's scene is not white"
[ "$(in_root ondrel-gallery --version)" = "ondrel-gallery $version" ] || fail "ondrel-gallery --version"
in_root sh -c 'cd /release/project && cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null && cmake --build build -j 2 >/dev/null' ||
  fail "tests/release/ does not build against the installed ondrel-dev"
in_root sh -c 'cd /release/project && g++ -std=c++20 -o smallest-pkg-config smallest.cpp $(pkg-config --cflags --libs ondrel-headless ondrel-main)' ||
  fail "the smallest program does not build with pkg-config against ondrel-dev"
for smallest in /release/project/build/run/smallest /release/project/smallest-pkg-config; do
  set +e
  said=$(in_root sh -c "cd /elsewhere && $smallest two words")
  code=$?
  set -e
  [ "$code" -eq 3 ] && [ "$said" = 'command line "two words"; instance stored' ] || fail "$smallest: '$said', exit code $code"
done
[ -x "$fresh/release/project/build/run/myprogram" ] || fail "no myprogram"
in_root apt-get purge -y -qq ondrel ondrel-dev >/dev/null 2>&1 || fail "apt-get purge"
left=$(cd "$fresh" && ls -d usr/bin/ondrel* usr/share/ondrel usr/share/doc/ondrel* usr/include/ondrel usr/lib/libondrel* \
                             usr/lib/cmake/Ondrel usr/lib/pkgconfig/ondrel* 2>/dev/null || true)
[ -z "$left" ] || fail "removing the packages left $left"
echo "deb: installed with apt-get into a fresh root, built against, run and removed"

echo "== the MinGW developer archive =="
mkdir "$work/windows" && (cd "$work/windows" && unzip -q "$windows_dev")
package=$work/windows/ondrel-dev-$version-windows-x86_64
cmake -S "$project" -B "$work/windows/build" -DCMAKE_TOOLCHAIN_FILE="$package/lib/cmake/Ondrel/mingw-w64-x86_64.cmake" \
  -DOndrel_DIR="$package/lib/cmake/Ondrel" -DCMAKE_BUILD_TYPE=Release >"$work/windows.log" 2>&1 &&
  cmake --build "$work/windows/build" -j "$(nproc)" >>"$work/windows.log" 2>&1 ||
  { cat "$work/windows.log"; fail "tests/release/ does not cross-build against the MinGW developer archive"; }
[ -f "$work/windows/build/run/myprogram.exe" ] && [ -f "$work/windows/build/run/Media/Sprites.bmp" ] || fail "no myprogram.exe"
mkdir "$work/windows/elsewhere"
set +e
said=$(cd "$work/windows/elsewhere" && "$windows_build/wine-run" "$work/windows/build/run/smallest.exe" two words 2>/dev/null | tr -d '\r')
code=$?
set -e
[ "$code" -eq 3 ] && [ "$said" = 'command line "two words"; instance stored' ] || fail "smallest.exe: '$said', exit code $code"
echo "windows: the developer archive builds programs that run"

echo "== the web developer archive =="
mkdir "$work/web" && (cd "$work/web" && unzip -q "$web_dev")
package=$work/web/ondrel-dev-$version-web
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S "$project" -B "$work/web/build" -DOndrel_DIR="$package/lib/cmake/Ondrel" -DCMAKE_BUILD_TYPE=Release \
  >"$work/web.log" 2>&1 && cmake --build "$work/web/build" -j "$(nproc)" >>"$work/web.log" 2>&1 ||
  { cat "$work/web.log"; fail "tests/release/ does not build against the web developer archive"; }
for suffix in .html .js .wasm .data; do
  [ -s "$work/web/build/site/myprogram$suffix" ] || fail "no myprogram$suffix"
done
echo "web: the developer archive builds pages"
echo "release: all cases passed"
