# Sourced by the tests of ondrel-sandbox's batch mode on Linux and under Wine: one run, and the
# scene file it must give on every system. The run starts in a folder holding basin.bmp (a copy
# of tests/golden/basin.bmp); the expected file was made once by the Linux build and checked
# by eye: the basin's walls, the four taps' columns of water, water in the basin.
SANDBOX_BATCH_RUN="--run 400 --scene basin.bmp --tap 320,10 --tap 100,200 --tap 500,50 --tap 200,100"
SANDBOX_BATCH_SHA256=c9404012901e01ae23f7c32ef9d2743064f5793c0935f77d1164536c14224cac

# check_batch_scene FILE: fails unless FILE is that scene.
check_batch_scene() {
  local sum
  sum=$(sha256sum "$1" | cut -d' ' -f1)
  [ "$sum" = "$SANDBOX_BATCH_SHA256" ] || { echo "$1: SHA-256 $sum, expected $SANDBOX_BATCH_SHA256"; return 1; }
  echo "$1: the expected scene ($(stat -c %s "$1") bytes)"
}

# enter_batch_folder: a fresh folder holding basin.bmp becomes the current one (names are taken
# from the folder the batch is started in); it goes when the test ends.
enter_batch_folder() {
  BATCH_FOLDER=$(mktemp -d)
  trap 'rm -rf "$BATCH_FOLDER"' EXIT
  cp "$(dirname "${BASH_SOURCE[0]}")/../golden/basin.bmp" "$BATCH_FOLDER/"
  cd "$BATCH_FOLDER"
}
