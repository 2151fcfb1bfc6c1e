# ondrel-sandbox's batch mode, run as a script runs it: tests/golden/basin.bmp (a picture of the
# demonstration's, imported as walls) with four taps for 400 steps gives a whole scene file with
# water in it (sandbox_test holds the same run to the water's rules, cell for cell and span for
# span; tests/wine_sandbox_test.sh holds the Windows build to this one), a PNG and a GIF when the
# build has libpng and giflib; names with spaces, quotes and backslashes are taken whole; --help
# and --version answer on standard output with 0; a long run on a terminal shows its progress on
# standard error, and off one says nothing; --size makes scenes of other sizes, up to 4096 x 2160
# and beyond, whose files carry their size in the bitmap's header; bad arguments and files, a tap
# in a wall, and a --size out of bounds or not WxH, exit with 2 and say why on standard error,
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

# --size: a 4096 x 2160 scene starts, steps and saves; its file is an 8-bit bitmap of that size
# (bfSize 1078 + 4096 x 2160 = 8848438, the width and height in the info header) followed by the
# record, with water in it; run on from the file it keeps its size. The largest, 4096 x 4096, and
# the smallest, 64 x 48, start too.
"$sandbox" --run 30 --size 4096x2160 --tap 2000,5 --tap 4090,2150 --tap 3,1000 --save big.bmp
python3 - big.bmp <<'PY'
import struct, sys
f = open(sys.argv[1], "rb").read()
size, offset = struct.unpack_from("<I", f, 2)[0], struct.unpack_from("<I", f, 10)[0]
width, height, planes, bits = struct.unpack_from("<iiHH", f, 18)
if (f[:2], size, offset, width, height, planes, bits) != (b"BM", 1078 + 4096 * 2160, 1078, 4096, 2160, 1, 8):
    sys.exit("big.bmp: headers %r" % ((f[:2], size, offset, width, height, planes, bits),))
record = 1078 + 4096 * 2160
magic, version, step, taps, spans = struct.unpack_from("<8sIIII", f, record)
if (magic, version, step, taps) != (b"OndrelSn", 1, 30, 3):
    sys.exit("big.bmp: record %r" % ((magic, version, step, taps),))
if len(f) != record + 24 + 8 * taps + 13 * spans + 4:
    sys.exit("big.bmp: %d bytes for %d spans" % (len(f), spans))
water = f[1078:record].count(1)
if water == 0 or spans == 0:
    sys.exit("big.bmp: no water")
print("--size 4096x2160: a scene file of %d bytes, %d spans, %d cells of water" % (len(f), spans, water))
PY
"$sandbox" --run 5 --scene big.bmp --save bigger.bmp
[ "$(od -An -tu4 -j18 -N8 bigger.bmp | tr -s ' ')" = " 4096 2160" ] || { echo "big.bmp run on lost its size"; exit 1; }
"$sandbox" --run 2 --size 4096x4096 --tap 10,10 --save largest.bmp
"$sandbox" --run 2 --size 64x48 --tap 10,10 --save smallest.bmp
for f in largest.bmp:4096:4096 smallest.bmp:64:48; do
  IFS=: read -r name w h <<<"$f"
  [ "$(od -An -tu4 -j18 -N8 "$name" | tr -s ' ')" = " $w $h" ] || { echo "$name: not $w x $h"; exit 1; }
done
echo "--size 4096x4096 and 64x48: scenes of those sizes"

# Each bad call: exit code 2, a reason on standard error, and no file written.
printf 'not a picture' >text.bmp
head -c 1000 scene.bmp >short.bmp
bad=("--run" "--run -1" "--run 5 --tap 640,1" "--run 5 --tap 1" "--run 5 --colour red" "--save out.bmp"
     "--run 5 --scene missing.bmp --save out.bmp" "--run 5 --scene text.bmp --save out.bmp"
     "--run 5 --scene short.bmp --save out.bmp" "--run 5 --save no/such/folder/out.bmp"
     "--run 5 --scene basin.bmp --tap 220,400 --save out.bmp"
     "--run 5 --size 4100x2160 --save out.bmp" "--run 5 --size 4096x4100 --save out.bmp"
     "--run 5 --size 8192x4320 --save out.bmp" "--run 5 --size 60x48 --save out.bmp" "--run 5 --size 64x47 --save out.bmp"
     "--run 5 --size 66x48 --save out.bmp" "--run 5 --size 0x0 --save out.bmp" "--run 5 --size -64x48 --save out.bmp"
     "--run 5 --size 1920 --save out.bmp" "--run 5 --size 1920x --save out.bmp" "--run 5 --size x1080 --save out.bmp"
     "--run 5 --size 1920*1080 --save out.bmp" "--run 5 --size 1920x1080x2 --save out.bmp"
     "--run 5 --size 99999999999999999999x48 --save out.bmp" "--run 5 --size 1280x720 --scene big.bmp --save out.bmp"
     "--run 5 --size 1280x720 --tap 1280,5 --save out.bmp")
for args in "${bad[@]}"; do
  code=0
  "$sandbox" $args 2>err.txt || code=$?
  [ $code -eq 2 ] || { echo "'$args' exited with $code, not 2"; exit 1; }
  grep -q "ondrel-sandbox: " err.txt || { echo "'$args' said nothing on standard error"; exit 1; }
  [ ! -e out.bmp ] || { echo "'$args' wrote out.bmp"; exit 1; }
  case $args in
    *"--size 4100x"*|*"--size 8192x"*|*"--size 60x"*)
      grep -q "64 x 48 to 4096 x 4096" err.txt || { echo "'$args' did not give the bounds: $(head -n 1 err.txt)"; exit 1; } ;;
  esac
  echo "'$args': 2, $(head -n 1 err.txt)"
done
