# ondrel-sandbox.exe's batch mode under Wine gives the same scene file, PNG and GIF, byte for
# byte, as the Linux build's ondrel-sandbox given the same command (sandbox_test holds that run to
# the water's rules): both link the same libpng, giflib and zlib. Names with spaces reach it whole,
# as Windows builds and splits a command line; --help and --version answer with 0; a bad
# argument, or a tap in a wall, exits with 2. No
# window opens, so no X session is needed.
# The Linux build is the one in ONDREL_LINUX_BUILD, else build/ beside the sources (where
# scripts/test.sh makes it before the Windows build); without it the test is skipped.
# Arguments: ondrel.exe (unused), the build folder, the command that runs a Windows program (Wine).
set -euo pipefail
build=$(realpath "$2")
run_windows=$3
sandbox=$build/run/ondrel-sandbox.exe
[ -f "$sandbox" ] || { echo "no $sandbox in this build"; exit 77; }
linux_build=${ONDREL_LINUX_BUILD:-$(dirname "$0")/../build}
linux_sandbox=$(realpath -m "$linux_build")/run/ondrel-sandbox
[ -x "$linux_sandbox" ] || { echo "no Linux build's $linux_sandbox to compare with (set ONDREL_LINUX_BUILD)"; exit 77; }
source "$(dirname "$0")/support/sandbox_batch.sh"
enter_batch_folder

"$linux_sandbox" $SANDBOX_BATCH_RUN --save linux.bmp --png linux.png --gif linux.gif
"$run_windows" "$sandbox" $SANDBOX_BATCH_RUN --save scene.bmp --png scene.png --gif scene.gif
check_batch_scene scene.bmp
[ "$(head -c 4 scene.png | od -An -c | tr -d ' ')" = '211PNG' ] || { echo "--png wrote no PNG"; exit 1; }
[ "$(head -c 6 scene.gif)" = GIF89a ] || { echo "--gif wrote no GIF"; exit 1; }
for file in scene.bmp scene.png scene.gif; do
  cmp "linux.${file#scene.}" "$file" || { echo "the Windows build's $file differs from the Linux build's"; exit 1; }
done
echo "the same scene, PNG ($(stat -c %s scene.png) bytes) and GIF ($(stat -c %s scene.gif) bytes) as the Linux build's"
mkdir -p "my scenes"
for name in "my scenes/level 1.bmp" 'two  spaces, (and) more.bmp'; do
  "$run_windows" "$sandbox" --run 3 --scene basin.bmp --tap 320,10 --save "$name"
  check_batch_scene "$name" >/dev/null || { echo "--save '$name' wrote no scene of that name: $(ls)"; exit 1; }
  echo "--save '$name': the file of that name"
done
"$run_windows" "$sandbox" --help >help.txt
grep -q "^usage: ondrel-sandbox" help.txt || { echo "--help printed: $(cat help.txt)"; exit 1; }
version=$("$run_windows" "$sandbox" --version | tr -d '\r')
[ "$version" = "$("$linux_sandbox" --version)" ] || { echo "--version printed '$version'"; exit 1; }
echo "--help: the usage; --version: $version"
for args in "--run 5 --tap 640,1" "--run 5 --scene basin.bmp --tap 220,400"; do
  code=0
  "$run_windows" "$sandbox" $args 2>err.txt || code=$?
  [ $code -eq 2 ] || { echo "'$args' exited with $code, not 2"; exit 1; }
  echo "'$args': 2, $(grep -m1 ondrel-sandbox err.txt | tr -d '\r')"
done
