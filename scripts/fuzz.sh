#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang in their own tree (build-fuzz) and runs each
# for SECONDS seconds (default 60), one after another, on a corpus kept in build-fuzz/corpus that
# starts from seeds made here from the built media and the test fixtures. Prints executions and
# time per harness; exits non-zero when a harness broke (the input is kept in
# build-fuzz/artifacts, and its log in build-fuzz/logs).
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
#   scripts/fuzz.sh --smoke         a few seconds each: the run of the test command
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
if [ "${1:-}" = "--smoke" ]; then
  seconds=4
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
out="$root/build-fuzz"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DONDREL_FUZZ=ON -DONDREL_TESTS=OFF -DONDREL_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$out" --target fuzzers -j "$(nproc)" >/dev/null

# Seeds: small files each harness can start from (made anew every run; not kept in git).
seeds="$out/seeds"
rm -rf "$seeds"
media="$out/run"
files="$root/tests/data/files"
seed() {  # seed HARNESS NAME: standard input becomes one seed
  mkdir -p "$seeds/$1"
  cat > "$seeds/$1/$2"
}
for f in "$files"/*.bmp "$media/Media/Sprites.bmp"; do
  seed bmp_load_fuzz "$(basename "$f")" < "$f"
  seed bmp_palette_fuzz "$(basename "$f")" < "$f"
  { printf '\001\007\005'; cat "$f"; } | seed scaled_fuzz "$(basename "$f")"
done
raw_3x2='\003\000\002\000\001\002\003\004\005\006'
raw_4x4='\004\000\004\000\000\001\002\003\004\005\006\007\010\011\012\013\014\015\016\017'
printf "$raw_3x2" | seed raw_image_fuzz 3x2.raw
printf "$raw_4x4" | seed raw_image_fuzz 4x4.raw
printf '\001\000\001\000\052' | seed raw_image_fuzz 1x1.raw
{ printf '\000\003\003'; printf "$raw_4x4"; } | seed scaled_fuzz 4x4.raw
# 62 columns to 8: a factor 61/7 taken in floating point would miss the last column.
{ printf '\000\007\001\076\000\002\000'; head -c 124 /dev/zero; } | seed scaled_fuzz 62x2-to-8.raw
# Font: cells 8 × 12, the text "Ondrel" at (2, 3), then the strip.
{ printf '\007\013\006Ondrel\002\003\000'; cat "$media/Media/font8x12.fon"; } | seed font_fuzz font8x12
seed data_pack_fuzz Data0.cdf < "$media/Data0.cdf"
# File stream: flags (text, scan, write back, scramble), a 16-bit length, the file, operations.
stream_seed() {  # NAME FLAGS FILE-BYTES
  local length
  length=$(printf '%b' "$3" | wc -c)
  { printf "\\$(printf '%03o' "$2")\\$(printf '%03o' $((length % 256)))\\$(printf '%03o' $((length / 256)))"
    printf '%b' "$3"
    printf '\002\020\005\002\020\004\000\003\000\002\020\006\000\010\001\004\001\006\007\002\020'
  } | seed file_stream_fuzz "$1"
}
stream_seed lines-text 15 'a\r\nb\r\nc\r\n'
stream_seed lines-binary 14 'a\r\nb\r\nc\r\n'
stream_seed ctrl-z 5 'one\r\ntwo\032three\r\n'
stream_seed labelled 3 'Width=640\r\nHeight=480\r\nScale=2.500000\r\n'
for f in "$root"/tests/golden/*.txt "$root/docs/demo.txt"; do
  seed replay_script_fuzz "$(basename "$f")" < "$f"
done
{ printf '\001\017\077'; tail -c 2000 "$media/Media/Sprites.bmp"; } | seed sprite_sheet_fuzz sprites-bmp
{ printf '\000\002\020'; head -c 2000 /dev/zero | tr '\000' '\005'; } | seed sprite_sheet_fuzz blank-raw

# Scene files, described as scene_file_fuzz takes them: flags (1 seal the check sum, 2 standard
# headers, 4 with bfSize the whole file's as earlier versions wrote it), the headers when not standard, 2 bytes n and n pixel bytes, then what follows the
# pixels: "OndrelSn", version 1, step 7, one tap (320, 10), one span 315..325 on row 11, active,
# and the check sum's 4 bytes.
record='OndrelSn\x01\0\0\0\x07\0\0\0\x01\0\0\0\x01\0\0\0\x40\x01\0\0\x0a\0\0\0\x3b\x01\0\0\x45\x01\0\0\x0b\0\0\0\x01\0\0\0\0'
printf "\x03\x04\0\x01\x0f\0\x01$record" | seed scene_file_fuzz scene
printf "\x07\x04\0\x01\x0f\0\x01$record" | seed scene_file_fuzz scene-earlier
printf "\x03\0\0$record" | head -c 30 | seed scene_file_fuzz cut-short
# The same with its headers given: 308327 bytes (0x04b467), pixels at 1078 (0x436).
headers='BM\x67\xb4\x04\0\0\0\0\0\x36\x04\0\0\x28\0\0\0\x80\x02\0\0\xe0\x01\0\0\x01\0\x08\0\0\0\0\0\0\xb0\x04\0\x13\x0b\0\0\x13\x0b\0\0\0\x01\0\0\0\x01\0\0'
printf "\x01$headers\0\0$record" | seed scene_file_fuzz headers-given
printf '\x02\0\0' | seed scene_file_fuzz picture-only

# Every harness the build makes (each fuzz/*_fuzz.cpp), in the order of their names.
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for f in "$root"/fuzz/*_fuzz.cpp; do harnesses+=("$(basename "$f" .cpp)"); done
fi
mkdir -p "$out/corpus" "$out/artifacts" "$out/logs"
status=0
printf '%-20s %12s %8s %10s %8s  %s\n' harness executions seconds "per second" corpus result
for name in "${harnesses[@]}"; do
  max_len=4096
  case $name in data_pack_fuzz) max_len=12000 ;; font_fuzz) max_len=16384 ;; esac
  mkdir -p "$out/corpus/$name" "$seeds/$name"
  log="$out/logs/$name.log"
  set +e
  "$out/fuzz/$name" -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$name-" "$out/corpus/$name" "$seeds/$name" >"$log" 2>&1
  code=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  size=$(find "$out/corpus/$name" -type f | wc -l)
  result=ok
  if [ "$code" -ne 0 ]; then
    result="BROKE (see $log)"
    status=1
  fi
  printf '%-20s %12s %8s %10s %8s  %s\n' "$name" "${runs:-?}" "${took:-?}" "${rate:-?}" "$size" "$result"
done
exit $status
