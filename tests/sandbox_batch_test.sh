# ondrel-sandbox's batch mode, run as a script runs it: tests/golden/basin.bmp (a picture of the
# demonstration's, imported as walls) with four taps for 400 steps gives a whole scene file with
# water in it (sandbox_test holds the same run to the water's rules, cell for cell and span for
# span; tests/wine_sandbox_test.sh holds the Windows build to this one), a PNG and a GIF when the
# build has libpng and giflib; bad arguments and files exit with 2 and say why on standard error,
# writing nothing.
# Arguments: ondrel-replay (unused), the build folder, whose run/ holds ondrel-sandbox.
set -euo pipefail
sandbox=$(realpath "$2")/run/ondrel-sandbox
[ -x "$sandbox" ] || { echo "no $sandbox in this build"; exit 77; }
source "$(dirname "$0")/support/sandbox_batch.sh"
enter_batch_folder

"$sandbox" $SANDBOX_BATCH_RUN --save scene.bmp
check_batch_scene scene.bmp
for format in png gif; do
  case " ${ONDREL_REPLAY_FORMATS-png gif} " in
    *" $format "*)
      "$sandbox" --run 50 --tap 320,10 --$format picture.$format
      [ "$(head -c 4 picture.$format | od -An -c | tr -d ' ')" = "$([ $format = png ] && echo '211PNG' || echo 'GIF8')" ] ||
        { echo "--$format wrote no $format"; exit 1; }
      echo "--$format: a $format file"
      ;;
  esac
done

# Each bad call: exit code 2, a reason on standard error, and no file written.
printf 'not a picture' >text.bmp
head -c 1000 scene.bmp >short.bmp
bad=("--run" "--run -1" "--run 5 --tap 640,1" "--run 5 --tap 1" "--run 5 --colour red" "--save out.bmp"
     "--run 5 --scene missing.bmp --save out.bmp" "--run 5 --scene text.bmp --save out.bmp"
     "--run 5 --scene short.bmp --save out.bmp" "--run 5 --save no/such/folder/out.bmp")
for args in "${bad[@]}"; do
  code=0
  "$sandbox" $args 2>err.txt || code=$?
  [ $code -eq 2 ] || { echo "'$args' exited with $code, not 2"; exit 1; }
  grep -q "ondrel-sandbox: " err.txt || { echo "'$args' said nothing on standard error"; exit 1; }
  [ ! -e out.bmp ] || { echo "'$args' wrote out.bmp"; exit 1; }
  echo "'$args': 2, $(head -n 1 err.txt)"
done
