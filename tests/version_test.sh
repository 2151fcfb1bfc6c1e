# The tools and the gallery answer --version as a user expects: "TOOL VERSION" on standard output
# alone, exit code 0, nothing run (the gallery without a display). VERSION is the one on the project() line of the top-level CMakeLists.txt, three
# numbers, and CHANGELOG.md has a section for it.
# Arguments: the ondrel-replay executable, the build folder.
set -euo pipefail
replay=$(realpath "$1")
build=$(realpath "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty"
fail() { echo "FAIL: $*"; exit 1; }

version=$(sed -n 's/^project(Ondrel VERSION \([^ )]*\).*/\1/p' "$root/CMakeLists.txt")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the project() line gives '$version', not MAJOR.MINOR.PATCH"
grep -q "^## \[$version\] - [0-9]\{4\}-[0-9][0-9]-[0-9][0-9]$" "$root/CHANGELOG.md" ||
  fail "CHANGELOG.md has no section '## [$version] - DATE'"

answers() {  # answers TOOL COMMAND...: COMMAND --version, run from an empty folder
  local out err code
  set +e
  out=$(cd "$work/empty" && "${@:2}" --version 2>"$work/stderr")
  code=$?
  set -e
  err=$(cat "$work/stderr")
  [ "$code" -eq 0 ] || fail "$1 --version exits with $code ($err)"
  [ "$out" = "$1 $version" ] || fail "$1 --version prints '$out', not '$1 $version'"
  [ -z "$err" ] || fail "$1 --version writes to standard error: $err"
  [ -z "$(ls -A "$work/empty")" ] || fail "$1 --version left files: $(ls -A "$work/empty")"
  echo "$1 --version: $out"
}
answers ondrel-replay "$replay"
answers ondrel-media "$build/tools/ondrel-media"
answers ondrel-sandbox "$build/run/ondrel-sandbox"
# The gallery answers without a display, before it would open a window; it needs SDL2.
if [ -x "$build/run/ondrel-gallery" ]; then
  answers ondrel-gallery env -u DISPLAY -u WAYLAND_DISPLAY "$build/run/ondrel-gallery"
else
  echo "ondrel-gallery is not built here (it needs SDL2)"
fi
# The screenshot tools are built only with libpng.
for shot in ondrel-gallery-shot ondrel-sandbox-shot; do
  if [ -x "$build/run/$shot" ]; then
    answers "$shot" "$build/run/$shot"
  else
    echo "$shot is not built here (it needs libpng)"
  fi
done
