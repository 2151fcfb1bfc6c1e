#!/usr/bin/env bash
# Makes the release files in dist/: scripts/package.sh
#   ondrel_VERSION_amd64.deb                 the programs and their data, for players (CPack)
#   ondrel-dev_VERSION_amd64.deb             headers, static libraries, CMake and pkg-config files
#   ondrel-VERSION-windows-x86_64.zip        the .exe programs with Data0.cdf and Media/, to unpack and run
#   ondrel-dev-VERSION-windows-x86_64.zip    the MinGW-w64 developer archive: headers, static libraries,
#                                            CMake and pkg-config files, the toolchain file, the default media
#   ondrel-VERSION-web.zip                   the static pages of the programs and examples, for any web server
#   ondrel-dev-VERSION-web.zip               the emscripten developer archive, likewise
# from the build folders the other scripts make (build/, build-windows/, build-web/), building
# what is not built yet. VERSION is the project's, from its project() line. Every file is
# stripped of debug information, and the developer archives unpack anywhere (no path inside them
# names a folder of the machine that made them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$root/dist
stage=$root/build/package
mkdir -p "$dist" "$stage"

echo "== the Linux build and its Debian packages =="
"$root/scripts/build.sh" "$root/build" -DONDREL_REQUIRE_ALL=ON
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/CMakeCache.txt")
rm -f "$stage"/*.deb
(cd "$root/build" && cpack -G DEB -B "$stage" >/dev/null)
cp "$stage/ondrel_${version}_amd64.deb" "$stage/ondrel-dev_${version}_amd64.deb" "$dist/"

# zip_folder FROM NAME: the files of FROM in a folder NAME inside dist/NAME.zip.
zip_folder() {
  local folder=$stage/$2
  rm -rf "$folder" "$dist/$2.zip"
  cp -r "$1" "$folder"
  (cd "$stage" && zip -qr9 "$dist/$2.zip" "$2")
}
# install_component BUILD COMPONENT PREFIX: a stripped install of one component, afresh.
install_component() {
  rm -rf "$3"
  cmake --install "$1" --component "$2" --strip --prefix "$3" >/dev/null
}
# developer_archive BUILD DATA NAME: the development files, with the default media (Data0.cdf and
# Media/) where the package's config looks for them, DATA below the prefix.
developer_archive() {
  install_component "$1" development "$stage/dev"
  install_component "$1" programs "$stage/programs"
  mkdir -p "$stage/dev/$2"
  cp -r "$stage/programs/$2/Data0.cdf" "$stage/programs/$2/Media" "$stage/dev/$2/"
  zip_folder "$stage/dev" "$3"
}

echo "== the Windows build =="
"$root/scripts/build-windows.sh" "$root/build-windows"
install_component "$root/build-windows" programs "$stage/windows"
zip_folder "$stage/windows/bin" "ondrel-$version-windows-x86_64"
developer_archive "$root/build-windows" bin "ondrel-dev-$version-windows-x86_64"

echo "== the web build =="
"$root/scripts/build-web.sh" "$root/build-web"
install_component "$root/build-web" programs "$stage/web"
zip_folder "$stage/web/share/ondrel/web" "ondrel-$version-web"
developer_archive "$root/build-web" share/ondrel "ondrel-dev-$version-web"

echo "Release files in $dist:"
ls -l "$dist"/ondrel*[-_]"$version"[-_.]*
