# Ondrel as a consumer takes it: installed into a temporary prefix, then examples/template and
# examples/ built as projects of their own with find_package(Ondrel) against that prefix (never
# the tree), hello once more with pkg-config alone; every example and the template run on the
# installed headless driver (tests/consumer/check.cpp) and their windows checked
# (tests/consumer/expect.py). The package's traps, each a program of tests/consumer: the smallest
# program (a WinMain, no kProgramFiles) links and is given its instance and command line; a list
# of files defined without program_folder.h is the one read, and a wrong one fails to compile
# saying how to write it; a GoogleTest program keeps its own main; the C++ standard is raised to
# the least, never lowered; a program installs its data into a folder of its own. Last, the tree
# taken in by another project with add_subdirectory.
# Arguments: ondrel-replay, the build folder (built whole, so that it installs). A sanitized
# build is left out (exit 77): its libraries want a sanitized consumer.
set -euo pipefail
build=$2
root=$(cd "$(dirname "$0")/.." && pwd)
grep -q "^ONDREL_SANITIZE:BOOL=ON" "$build/CMakeCache.txt" && { echo "a sanitized build: left out"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
prefix=$work/prefix
jobs=$(nproc)

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in include/ondrel/gfx/surface.h include/ondrel/platform/win32.h lib/libondrel_gfx.a lib/libondrel_sdl.a \
            lib/libondrel_headless.a lib/libondrel_main.a lib/cmake/Ondrel/OndrelConfig.cmake \
            lib/cmake/Ondrel/OndrelConfigVersion.cmake lib/pkgconfig/ondrel-sdl.pc lib/pkgconfig/ondrel-headless.pc \
            lib/pkgconfig/ondrel-main.pc bin/ondrel bin/ondrel-replay bin/ondrel-gallery \
            bin/ondrel-media share/ondrel/Data0.cdf share/ondrel/Media/Sprites.bmp share/ondrel/Media/font8x12.fon; do
  [ -e "$prefix/$file" ] || fail "the install lacks $file"
done
[ -z "$(find "$prefix/include" -maxdepth 1 -type f)" ] || fail "files of ours directly in include/"

# The tree is out of reach: its sources are copied, and only the prefix is named.
cp -r "$root/examples" "$root/tests/consumer" "$work/"
mkdir -p "$work/tests" && mv "$work/consumer" "$work/tests/"
configure() { cmake -S "$1" -B "$2" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release >"$2.log" 2>&1 ||
                { cat "$2.log"; fail "configuring $1"; }; }
build() { cmake --build "$1" -j "$jobs" "${@:2}" >>"$1.log" 2>&1 || { cat "$1.log"; fail "building $1"; }; }
for project in examples/template examples tests/consumer; do
  configure "$work/$project" "$work/build-${project//\//-}"
  build "$work/build-${project//\//-}"
done
checks=$work/build-tests-consumer
for program in build-examples/run/hello build-examples/run/paint build-examples/run/tasks \
               build-examples/run/Media/font8x12.fon build-examples-template/run/myprogram \
               build-examples-template/run/Media/Sprites.bmp; do
  [ -e "$work/$program" ] || fail "no $program"
done
# A consumer's program installs with its data in a folder of its own, share/myprogram, where it
# finds them.
cmake --install "$work/build-examples-template" --prefix "$work/mine" >/dev/null
[ -x "$work/mine/bin/myprogram" ] && [ -f "$work/mine/share/myprogram/Media/font8x12.fon" ] &&
  [ ! -e "$work/mine/share/ondrel" ] || fail "myprogram's install"

# pkg-config alone: hello in a real window (linked; the entry named beside the driver), and on the
# headless driver with check.cpp's main (run below). No package file sets the standard: a newer
# one stays.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
g++ -std=c++20 -o "$work/hello-sdl" "$work/examples/hello.cpp" $(pkg-config --cflags --libs ondrel-sdl ondrel-main) ||
  fail "hello does not link with pkg-config ondrel-sdl ondrel-main"
g++ -std=c++20 -o "$work/hello-pkg-config-check" "$work/examples/hello.cpp" "$work/tests/consumer/check.cpp" \
  $(pkg-config --cflags --libs ondrel-headless) || fail "hello does not link with pkg-config ondrel-headless"
g++ -std=c++23 -DONDREL_EXPECT_CPLUSPLUS=202100L -c -o "$work/standard.o" "$work/tests/consumer/standard.cpp" \
  $(pkg-config --cflags ondrel-sdl) || fail "pkg-config's flags lower -std=c++23"

# The smallest program, a WinMain alone, made by ondrel_add_program and with pkg-config: the entry
# hands it the command line and has stored its instance; its exit code is the program's.
g++ -std=c++20 -o "$work/smallest-pkg-config" "$work/tests/consumer/smallest.cpp" \
  $(pkg-config --cflags --libs ondrel-headless ondrel-main) || fail "the smallest program does not link with pkg-config"
mkdir "$work/empty"
for smallest in "$checks/run/smallest" "$work/smallest-pkg-config"; do
  set +e
  said=$(cd "$work/empty" && "$smallest" two words)
  code=$?
  set -e
  [ "$code" -eq 3 ] && [ "$said" = 'command line "two words"; instance stored' ] ||
    fail "$smallest said '$said' and ended with $code, not 'command line \"two words\"; instance stored' and 3"
done
# A list of files defined wrongly (here static) does not compile, and the message says how to write it.
printf '#include "platform/win32.h"\nstatic const char* const kProgramFiles[] = {"a.bmp", nullptr};\n' >"$work/wrong.cpp"
if said=$(g++ -std=c++20 -c -o "$work/wrong.o" "$work/wrong.cpp" $(pkg-config --cflags ondrel-headless) 2>&1); then
  fail "a static kProgramFiles compiles"
fi
grep -qF 'define it at global scope: const char* const kProgramFiles[] = {"file", ..., nullptr};' <<<"$said" ||
  fail "the error for a static kProgramFiles does not say how to write it: $said"
# files names its files without program_folder.h: from another folder it finds them beside itself,
# and installed, in its own data folder.
said=$(cd "$work/empty" && "$checks/run/files") || fail "files, from another folder: $said"
cmake --install "$checks" --prefix "$work/theirs" >/dev/null
[ -f "$work/theirs/share/files/Media/Sprites.bmp" ] || fail "files' media are not in share/files"
said=$(cd "$work/empty" && "$work/theirs/bin/files") || fail "files, installed: $said"
# A GoogleTest program runs its own tests, made by CMake and with pkg-config, where the driver's
# archive comes before GoogleTest's main on the link line (a main in the driver would run the
# template's WinMain in their place, which never ends without a test to press Escape).
g++ -std=c++20 -o "$work/runner-pkg-config" "$work/tests/consumer/runner.cpp" "$work/examples/template/main.cpp" \
  $(pkg-config --cflags --libs ondrel-headless) -lgtest_main -lgtest -pthread || fail "the GoogleTest program does not link"
mkdir "$work/run-runner" && cp -r "$prefix/share/ondrel/Media" "$work/run-runner/"
for runner in "$checks/runner" "$work/runner-pkg-config"; do
  set +e
  said=$(cd "$work/run-runner" && timeout 120 "$runner" 2>&1)
  code=$?
  set -e
  [ "$code" -eq 0 ] && grep -qF "[  PASSED  ] 1 test." <<<"$said" || fail "$runner ran no test of its own ($code): $said"
done

# Each run in a folder of its own, with the installed default media.
run() {  # run NAME CHECK-PROGRAM TURNS EVENTS...
  local name=$1 program=$2
  shift 2
  mkdir -p "$work/run-$name"
  cp -r "$prefix/share/ondrel/Media" "$work/run-$name/"
  (cd "$work/run-$name" && "$program" "$@") || fail "$name did not run as a user would"
  python3 "$root/tests/consumer/expect.py" "${name%%-*}" "$work/run-$name"
}
run hello "$checks/hello-check" 21 21:shot:hello.ppm
run hello-pkg-config "$work/hello-pkg-config-check" 21 21:shot:hello.ppm
run main "$checks/main-check" 3 3:shot:main.ppm
# paint: a black stroke, red picked from the row, a red stroke; Picture > Save; a shot;
# Picture > Clear; a shot. (Window pixels: the menu bar is the top 19.)
run paint "$checks/paint-check" 20 2:press:100:119 3:move:150:119 4:move:200:119 5:release:200:119 \
  6:click:180:487 7:press:100:219 8:move:100:269 9:move:100:319 10:release:100:319 \
  11:click:12:9 12:click:20:30 14:shot:paint-drawn.ppm 15:click:12:9 16:click:20:46 18:shot:paint-cleared.ppm
# tasks: Start A (the button under lane A), shots ten turns apart; Stop A, shots four turns apart.
run tasks "$checks/tasks-check" 31 2:click:100:92 12:shot:tasks-12.ppm 22:shot:tasks-22.ppm \
  23:click:190:92 26:shot:tasks-26.ppm 30:shot:tasks-30.ppm
# Taken in with add_subdirectory: the template's program builds on the tree's targets, and Ondrel
# builds no tests or tools and leaves the consumer's own compile flags alone.
mkdir "$work/sub"
cp "$work/examples/template/main.cpp" "$work/sub/"
cat >"$work/sub/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.21)
project(Sub LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
add_subdirectory("$root" ondrel)
ondrel_add_program(myprogram SOURCES main.cpp MEDIA \${ONDREL_DATA_DIR}/Media)
CMAKE
cmake -S "$work/sub" -B "$work/build-sub" -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  >"$work/build-sub.log" 2>&1 || { cat "$work/build-sub.log"; fail "configuring a project that takes Ondrel in"; }
targets=$(cmake --build "$work/build-sub" --target help)
for left_out in ondrel-replay ondrel-gallery window_test frame_bench hello; do
  grep -qw "$left_out" <<<"$targets" && fail "taken in, Ondrel still makes $left_out"
done
build "$work/build-sub" --target myprogram
[ -x "$work/build-sub/run/myprogram" ] && [ -f "$work/build-sub/run/Media/font8x12.fon" ] || fail "myprogram, taken-in build"
python3 - "$work/build-sub/compile_commands.json" <<'PY' || fail "Ondrel's flags reached the consumer's own file"
import json, sys
own = [c["command"] for c in json.load(open(sys.argv[1])) if c["file"].endswith("/sub/main.cpp")]
assert own and not any(flag in own[0].split() for flag in ("-Wall", "-Wextra", "-Werror", "-fsanitize=address,undefined")), own
PY
echo "consumer: all cases passed"
