# Golden images: each script in tests/golden/ is replayed on the headless driver and the scene
# after the run must equal, byte for byte, the stored 8-bit BMP beside it. golden_reference_test
# holds the stored scenes and docs/demo.gif to the program's rules, written out independently.
# On a mismatch the actual scene is kept beside the build as PNG with the expected one.
# Arguments: the ondrel-replay executable, the build folder.
set -euo pipefail
run_dir=$(dirname "$1")
build=$2
golden=$(cd "$(dirname "$0")/golden" && pwd)
out="$build/golden-actual"
mkdir -p "$out"
failed=0
for script in "$golden"/*.txt; do
  name=$(basename "$script" .txt)
  frames=$(sed -n 's/^# frames: //p' "$script")
  (cd "$run_dir" && ./ondrel-replay --frames "$frames" --scene "$out/$name.bmp" "$script" 2>/dev/null)
  if cmp -s "$out/$name.bmp" "$golden/$name.bmp"; then
    echo "$name: same scene after $frames frames"
    rm -f "$out/$name.bmp"
  else
    failed=1
    echo "$name: the scene differs from $golden/$name.bmp; actual kept as $out/$name.bmp"
    if command -v convert >/dev/null; then
      convert "$golden/$name.bmp" "$out/$name.bmp" +append "$out/$name-expected-actual.png" && echo "  side by side: $out/$name-expected-actual.png"
    fi
  fi
done
# The README's recording is made from docs/demo.txt; it must still be what the program records.
case " ${ONDREL_REPLAY_FORMATS-gif} " in
  *" gif "*) ;;
  *) echo "demo: not checked, this ondrel-replay was built without giflib"; exit $failed ;;
esac
demo=$(cd "$(dirname "$0")/../docs" && pwd)
frames=$(sed -n 's/^# frames: //p' "$demo/demo.txt")
(cd "$run_dir" && ./ondrel-replay --frames "$frames" --gif "$out/demo.gif" "$demo/demo.txt" 2>/dev/null)
if cmp -s "$out/demo.gif" "$demo/demo.gif"; then
  echo "demo: docs/demo.gif is what the program records"
  rm -f "$out/demo.gif"
else
  failed=1
  echo "demo: docs/demo.gif differs from a new recording, kept as $out/demo.gif (scripts/record-demo.sh makes it anew)"
fi
exit $failed
