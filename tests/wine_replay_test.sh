# ondrel-replay.exe under Wine, started from another folder: the Windows build of the replay tool
# (the demonstration over the Win32 subset of platform/ on the headless driver, a console program)
# replays each golden script to its golden scene and docs/demo.txt to docs/demo.gif, byte for
# byte, as the Linux build does (golden_test.sh); golden_reference_test holds those files to the
# program's rules. A malformed script exits with 2. No window opens, so no X session is needed.
# Arguments: ondrel.exe (unused), the build folder, the command that runs a Windows program (Wine).
set -euo pipefail
build=$(realpath "$2")
run_windows=$3
replay=$build/run/ondrel-replay.exe
[ -f "$replay" ] || { echo "no $replay in this build"; exit 77; }
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }

for script in "$root"/tests/golden/*.txt; do
  name=$(basename "$script" .txt)
  cp "$script" "$name.txt"
  frames=$(sed -n 's/^# frames: //p' "$name.txt")
  "$run_windows" "$replay" --frames "$frames" --scene "$name.bmp" "$name.txt" 2>/dev/null
  cmp "$name.bmp" "$root/tests/golden/$name.bmp" || fail "$name: the scene differs from tests/golden/$name.bmp"
  echo "$name: the golden scene after $frames frames"
done
cp "$root/docs/demo.txt" demo.txt
frames=$(sed -n 's/^# frames: //p' demo.txt)
"$run_windows" "$replay" --frames "$frames" --gif demo.gif demo.txt 2>/dev/null
cmp demo.gif "$root/docs/demo.gif" || fail "the recording differs from docs/demo.gif"
echo "demo: docs/demo.gif, byte for byte"

printf '1 jump\n' >bad.txt
code=0
"$run_windows" "$replay" --scene never.bmp bad.txt 2>err.txt || code=$?
[ $code -eq 2 ] || fail "a malformed script exited with $code, not 2"
grep -qF "bad.txt:1: unknown verb 'jump'" err.txt || fail "no reason given: $(cat err.txt)"
[ ! -e never.bmp ] || fail "the malformed script ran"
echo "a malformed script: 2, $(grep -m1 ondrel-replay err.txt)"
