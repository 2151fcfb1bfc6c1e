# ondrel-sandbox.exe's batch mode under Wine gives the same scene file, byte for byte, as the
# Linux build (tests/sandbox_batch_test.sh checks that one against the same SHA-256), and a bad
# argument exits with 2. No window opens, so no X session is needed.
# Arguments: ondrel.exe (unused), the build folder, the command that runs a Windows program (Wine).
set -euo pipefail
build=$(realpath "$2")
run_windows=$3
sandbox=$build/run/ondrel-sandbox.exe
[ -f "$sandbox" ] || { echo "no $sandbox in this build"; exit 77; }
source "$(dirname "$0")/support/sandbox_batch.sh"
enter_batch_folder

"$run_windows" "$sandbox" $SANDBOX_BATCH_RUN --save scene.bmp
check_batch_scene scene.bmp
code=0
"$run_windows" "$sandbox" --run 5 --tap 640,1 2>err.txt || code=$?
[ $code -eq 2 ] || { echo "a tap outside the scene exited with $code, not 2"; exit 1; }
echo "a tap outside the scene: 2, $(grep -m1 ondrel-sandbox err.txt)"
