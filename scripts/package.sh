#!/usr/bin/env bash
# Makes the three release files in dist/: scripts/package.sh
#   ondrel_VERSION_amd64.deb            the programs, their data and the development files (CPack)
#   ondrel-VERSION-windows-x86_64.zip   the .exe programs with Data0.cdf and Media/, to unpack and run
#   ondrel-VERSION-web.zip              the static pages of the demonstration and the gallery
# from the build folders the other scripts make (build/, build-windows/, build-web/), building
# what is not built yet. VERSION is the project's, from its project() line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$root/dist
mkdir -p "$dist"

echo "== the Linux build and its Debian package =="
"$root/scripts/build.sh" "$root/build" -DONDREL_REQUIRE_ALL=ON
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/CMakeCache.txt")
(cd "$root/build" && cpack -G DEB -B "$root/build/package" >/dev/null)
cp "$root/build/package/ondrel_${version}_amd64.deb" "$dist/"

# zip_folder FROM NAME: the files of FROM in a folder NAME inside dist/NAME.zip.
zip_folder() {
  local stage=$root/build/package/$2
  rm -rf "$stage" "$dist/$2.zip"
  cp -r "$1" "$stage"
  (cd "$root/build/package" && zip -qr9 "$dist/$2.zip" "$2")
}

echo "== the Windows build =="
"$root/scripts/build-windows.sh" "$root/build-windows"
rm -rf "$root/build/package/windows"
cmake --install "$root/build-windows" --component programs --strip --prefix "$root/build/package/windows" >/dev/null
zip_folder "$root/build/package/windows/bin" "ondrel-$version-windows-x86_64"

echo "== the web build =="
"$root/scripts/build-web.sh" "$root/build-web"
rm -rf "$root/build/package/web"
cmake --install "$root/build-web" --component programs --prefix "$root/build/package/web" >/dev/null
zip_folder "$root/build/package/web/share/ondrel/web" "ondrel-$version-web"

echo "Release files in $dist:"
ls -l "$dist"/ondrel[-_]"$version"*
