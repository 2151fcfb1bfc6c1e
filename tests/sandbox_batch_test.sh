# ondrel-sandbox's batch mode, run as a script runs it: tests/golden/basin.bmp (a picture of the
# demonstration's, imported as walls) with four taps for 400 steps gives a whole scene file with
# water in it (sandbox_test holds the same run to the water's rules, cell for cell and span for
# span; tests/wine_sandbox_test.sh holds the Windows build to this one), a PNG and a GIF when the
# build has libpng and giflib; names with spaces, quotes and backslashes are taken whole; --help
# and --version answer on standard output with 0; a long run on a terminal shows its progress on
# standard error, and off one says nothing; bad arguments and files, and a tap in a wall, exit
# with 2 and say why on standard error, writing nothing.
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

# Names as a user types them in a shell: each argument reaches the program whole.
mkdir -p "my scenes"
for name in "my scenes/level 1.bmp" 'say "hi".bmp' 'back\slash.bmp' 'ends in a backslash\'; do
  "$sandbox" --run 3 --scene basin.bmp --tap 320,10 --save "$name"
  check_batch_scene "$name" >/dev/null || { echo "--save '$name' wrote no scene of that name: $(ls)"; exit 1; }
  "$sandbox" --run 1 --scene "$name" --save again.bmp
  echo "--save and --scene '$name': the file of that name"
done

# --help and --version: standard output, exit code 0.
"$sandbox" --help >help.txt
grep -q "^usage: ondrel-sandbox" help.txt || { echo "--help printed: $(cat help.txt)"; exit 1; }
version=$("$sandbox" --version)
[[ $version =~ ^ondrel-sandbox\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "--version printed '$version'"; exit 1; }
echo "--help: the usage; --version: $version"

# Progress: on a terminal, a report at least every few seconds (two of them, with the step count
# growing, are waited for); off one, nothing.
"$sandbox" --run 3000 --tap 320,10 --save quiet.bmp 2>quiet.txt
[ ! -s quiet.txt ] || { echo "a run off a terminal wrote to standard error: $(cat quiet.txt)"; exit 1; }
python3 - "$sandbox" <<'PY'
import os, pty, re, signal, sys, time
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], [sys.argv[1], "--run", "1000000000", "--tap", "320,10", "--tap", "100,200"])
seen, text, deadline = [], b"", time.monotonic() + 120
while len(seen) < 2 and time.monotonic() < deadline:
    try:
        text += os.read(fd, 4096)
    except OSError:
        break
    seen = [int(n) for n in re.findall(rb"step (\d+) of 1000000000", text)]
os.kill(pid, signal.SIGKILL)
os.waitpid(pid, 0)
if len(seen) < 2 or seen[1] <= seen[0]:
    sys.exit("no progress on the terminal: %r" % text[-300:])
print("progress on a terminal: step %d, then step %d" % (seen[0], seen[1]))
PY

# Each bad call: exit code 2, a reason on standard error, and no file written.
printf 'not a picture' >text.bmp
head -c 1000 scene.bmp >short.bmp
bad=("--run" "--run -1" "--run 5 --tap 640,1" "--run 5 --tap 1" "--run 5 --colour red" "--save out.bmp"
     "--run 5 --scene missing.bmp --save out.bmp" "--run 5 --scene text.bmp --save out.bmp"
     "--run 5 --scene short.bmp --save out.bmp" "--run 5 --save no/such/folder/out.bmp"
     "--run 5 --scene basin.bmp --tap 220,400 --save out.bmp")
for args in "${bad[@]}"; do
  code=0
  "$sandbox" $args 2>err.txt || code=$?
  [ $code -eq 2 ] || { echo "'$args' exited with $code, not 2"; exit 1; }
  grep -q "ondrel-sandbox: " err.txt || { echo "'$args' said nothing on standard error"; exit 1; }
  [ ! -e out.bmp ] || { echo "'$args' wrote out.bmp"; exit 1; }
  echo "'$args': 2, $(head -n 1 err.txt)"
done
