# Sourced by the tests of ondrel-sandbox's batch mode on Linux and under Wine: one run, the same
# on every system. The run starts in a folder holding basin.bmp (a copy of tests/golden/basin.bmp).
# The scene it gives is held to the water's rules written out independently by sandbox_test
# (TheBatchRunGivesTheSceneTheWrittenRulesGive, the same run); the Windows build's is held to the
# Linux build's, byte for byte.
SANDBOX_BATCH_RUN="--run 400 --scene basin.bmp --tap 320,10 --tap 100,200 --tap 500,50 --tap 200,100"

# check_batch_scene FILE: fails unless FILE is a whole scene file, with water in it: a 640 x 480
# 8-bit bitmap ("BM", bfSize 1078 + 640 x 480, the bitmap's own bytes) followed by the scene's
# record ("OndrelSn").
check_batch_scene() {
  local size declared water
  size=$(stat -c %s "$1")
  [ "$(head -c 2 "$1")" = BM ] || { echo "$1: not a bitmap"; return 1; }
  declared=$(od -An -tu4 -j2 -N4 "$1" | tr -d ' ')
  [ "$declared" = 308278 ] || { echo "$1: bfSize $declared, not 308278"; return 1; }
  [ "$(tail -c +308279 "$1" | head -c 8)" = OndrelSn ] || { echo "$1: no scene record after the pixels"; return 1; }
  water=$(tail -c +1079 "$1" | head -c 307200 | od -An -v -tu1 -w1 | grep -cx ' *1' || true)
  [ "$water" -gt 0 ] || { echo "$1: no water in the scene"; return 1; }
  echo "$1: a scene file of $size bytes, $water cells of water"
}

# enter_batch_folder: a fresh folder holding basin.bmp becomes the current one (names are taken
# from the folder the batch is started in); it goes when the test ends.
enter_batch_folder() {
  BATCH_FOLDER=$(mktemp -d)
  trap 'rm -rf "$BATCH_FOLDER"' EXIT
  cp "$(dirname "${BASH_SOURCE[0]}")/../golden/basin.bmp" "$BATCH_FOLDER/"
  cd "$BATCH_FOLDER"
}
