#!/usr/bin/env bash
# Builds the image libraries of the Windows and web builds from Debian's source packages, so that
# PNG and GIF files come out of the same libpng, giflib and zlib on Linux, Windows and the web:
#   scripts/build-image-libs.sh [--built] windows|web...
# windows  libpng and giflib for MinGW-w64 (its zlib is Debian's libz-mingw-w64-dev)
# web      zlib, libpng and giflib for emscripten
# Each goes into build-deps/image-libs/<platform>/ (include/ and lib/, static libraries), where
# cmake/OndrelImageLibs.cmake looks for them, and is built only once: again only when the
# packages' versions, the compiler or this script change (stamp.txt holds what it was built
# from). With --built it builds nothing and succeeds only when every platform named is built.
# The sources come from `apt-get source`, which needs a deb-src entry: scripts/install-deps.sh
# adds one and then runs this script. From scratch both take about a minute of processor time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=$root/build-deps/image-libs
check=0
if [ "${1:-}" = "--built" ]; then check=1; shift; fi
[ $# -gt 0 ] || { echo "usage: $0 [--built] windows|web..." >&2; exit 2; }

# The source packages of the libraries the Linux build links (zlib1g, libpng16-16, libgif7).
packages=(zlib libpng1.6 giflib)
# Their versions apt knows, newest first.
versions() { apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u -r -V; }

compiler() {
  case $1 in
    windows) echo x86_64-w64-mingw32-gcc-posix ;;
    web) echo emcc ;;
  esac
}

stamp() {  # what platform $1 is built from
  local p
  for p in "${packages[@]}"; do echo "$p" $(versions "$p"); done
  "$(compiler "$1")" --version 2>/dev/null | head -n 1
  sha256sum "$0" | cut -d' ' -f1
}

built() { [ -f "$cache/$1/stamp.txt" ] && [ "$(cat "$cache/$1/stamp.txt")" = "$(stamp "$1")" ]; }

for platform in "$@"; do
  case $platform in
    windows | web) ;;
    *) echo "$0: unknown platform '$platform' (windows or web)" >&2; exit 2 ;;
  esac
done
if [ $check -eq 1 ]; then
  for platform in "$@"; do built "$platform" || exit 1; done
  exit 0
fi
todo=()
for platform in "$@"; do built "$platform" || todo+=("$platform"); done
[ ${#todo[@]} -gt 0 ] || exit 0

# The sources, as Debian builds them (with its patches applied).
sources=$cache/sources
rm -rf "$sources"
mkdir -p "$sources"
echo "Fetching the sources of zlib, libpng and giflib (apt-get source) ..."
# The newest version each mirror serves (a release's security archive may offer none).
for p in "${packages[@]}"; do
  fetched=0
  for v in $(versions "$p"); do
    if (cd "$sources" && apt-get source -qq "$p=$v" >/dev/null 2>&1); then fetched=1; break; fi
  done
  [ $fetched -eq 1 ] || {
    echo "$0: apt-get source $p failed: Debian's source packages need a deb-src entry (scripts/install-deps.sh adds one)" >&2
    exit 1
  }
  echo "  $p $v"
done
source_dir() {  # the one folder apt-get source unpacked for source package $1
  local found=("$sources/$1"-[0-9]*/)
  [ ${#found[@]} -eq 1 ] && [ -d "${found[0]}" ] || { echo "$0: no single unpacked $1 in $sources" >&2; exit 1; }
  echo "${found[0]%/}"
}
zlib=$(source_dir zlib)
png=$(source_dir libpng1.6)
gif=$(source_dir giflib)

zlib_units=(adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil)
png_units=(png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans pngwio pngwrite pngwtran pngwutil)
gif_units=(dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize)

# compile_library NAME SOURCE_FOLDER UNIT...: lib/lib<NAME>.a of the units' .c files, compiled
# with $cc and archived with $ar. Each core compiles its share of the units in one call (a call
# of emscripten's compiler costs more than a small file).
compile_library() {
  local name=$1 folder=$2
  shift 2
  local cores objects=$work/$name
  cores=$(nproc)
  mkdir -p "$objects"
  local unit
  for unit in "$@"; do echo "$folder/$unit.c"; done |
    (cd "$objects" && xargs -P "$cores" -n $((($# + cores - 1) / cores)) "$cc" -O2 -w -I"$prefix/include" -I"$folder" -c)
  [ "$(ls "$objects"/*.o | wc -l)" -eq $# ] || { echo "$0: lib$name: not every unit compiled" >&2; exit 1; }
  "$ar" rcs "$prefix/lib/lib$name.a" "$objects"/*.o
}

for platform in "${todo[@]}"; do
  start=$SECONDS
  prefix=$cache/$platform
  rm -rf "$prefix"
  mkdir -p "$prefix/include" "$prefix/lib"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  case $platform in
    windows)
      command -v x86_64-w64-mingw32-gcc-posix >/dev/null || { echo "$0: MinGW-w64 is missing (scripts/install-deps.sh windows)" >&2; exit 1; }
      [ -f /usr/x86_64-w64-mingw32/include/zlib.h ] || { echo "$0: MinGW-w64's zlib is missing (scripts/install-deps.sh windows)" >&2; exit 1; }
      cc=x86_64-w64-mingw32-gcc-posix
      ar=x86_64-w64-mingw32-ar
      ;;
    web)
      command -v emcc >/dev/null || { echo "$0: emscripten is missing (scripts/install-deps.sh web)" >&2; exit 1; }
      cc=emcc
      ar=emar
      cp "$zlib/zlib.h" "$zlib/zconf.h" "$prefix/include/"
      ;;
  esac
  echo "Building the image libraries for $platform into $prefix ..."
  cp "$png/png.h" "$png/pngconf.h" "$gif/gif_lib.h" "$prefix/include/"
  cp "$png/scripts/pnglibconf.h.prebuilt" "$prefix/include/pnglibconf.h"
  if [ "$platform" = web ]; then compile_library z "$zlib" "${zlib_units[@]}"; fi
  compile_library png "$png" "${png_units[@]}"
  compile_library gif "$gif" "${gif_units[@]}"
  rm -rf "$work"
  trap - EXIT
  stamp "$platform" >"$prefix/stamp.txt"
  echo "Built the image libraries for $platform in $((SECONDS - start)) s"
done
rm -rf "$sources"
