# The Windows package as a consumer takes it: this build installed into a prefix, the examples and
# the template built against it with find_package (MinGW-w64, the toolchain file installed with
# the package), and hello.exe run under Wine from another folder: its window shows the blue of
# its background and Escape ends it with exit code 0.
# Arguments: ondrel.exe, the build folder, the command that runs a Windows program (Wine).
source "$(dirname "$0")/support/xsession.sh"
build=$2
run_windows=$3
root=$(cd "$(dirname "$0")/.." && pwd)
work=$build/wine_consumer
rm -rf "$work"
mkdir -p "$work/elsewhere"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
[ -f "$prefix/bin/ondrel.exe" ] && [ -f "$prefix/bin/Data0.cdf" ] && [ -f "$prefix/bin/Media/font8x12.fon" ] ||
  { echo "the Windows install lacks the programs or their data beside them"; exit 1; }
cp -r "$root/examples" "$work/"
for project in examples examples/template; do
  out=$work/build-${project//\//-}
  cmake -S "$work/$project" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Ondrel/mingw-w64-x86_64.cmake" \
    -DOndrel_DIR="$prefix/lib/cmake/Ondrel" -DCMAKE_BUILD_TYPE=Release >"$out.log" 2>&1 &&
    cmake --build "$out" -j "$(nproc)" >>"$out.log" 2>&1 || { cat "$out.log"; echo "building $project failed"; exit 1; }
done
for program in build-examples/run/hello.exe build-examples/run/paint.exe build-examples/run/tasks.exe \
               build-examples-template/run/myprogram.exe build-examples/run/Media/Sprites.bmp; do
  [ -f "$work/$program" ] || { echo "no $program"; exit 1; }
done

start_x_session
(cd "$work/elsewhere" && exec "$run_windows" "$work/build-examples/run/hello.exe") &
APP_PID=$!
id=$(wait_for_window "Hello, Ondrel")
locate_window "$id"
# A pixel of the background (below the text, away from the fish's path), once frames come.
expect_rgb 600 40 "0 0 170" "hello.exe's background (palette index 1)"
activate_window "$id"
xdotool key Escape
expect_exit_zero "$APP_PID" 30 "hello.exe after Escape"
