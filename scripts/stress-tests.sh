#!/usr/bin/env bash
# Plays every test that runs a real window, a browser or Wine N times (default 20) while a load
# generator keeps every core busy, and prints a table: test, passes out of N, the first failure's
# message. For anyone who touches a display driver, the window manager code or these tests: such
# a test must never fail by chance. Not part of CI (it is long).
#   scripts/stress-tests.sh [N [REGEX [BUILD...]]]
# REGEX: only the tests whose names it matches; BUILD...: only these build folders (build,
# build-asan, build-web, build-windows). The outputs go to build-stress/, or to $STRESS_OUT.
# STRESS_MINUTES=M: no round starts after M minutes (the table says how many were played).
# The tests come from the build folders that scripts/test.sh makes, those that exist: in build/
# and build-asan/ the xvfb_* tests and the consumer test, in build-web/ the pages played in
# Chromium and the web consumer, in build-windows/ the wine_* tests and the test programs that
# open windows on Wine's desktop. Each round runs each build's share as scripts/test.sh does
# (ctest -j <cores>), the builds one after another. The output of every failed run is kept in
# the output folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-20}
filter=${2:-.}
[[ "$rounds" =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/stress-tests.sh [N [REGEX [BUILD...]]]" >&2; exit 2; }
shift $(($# > 2 ? 2 : $#))
candidates=("$@")
[ ${#candidates[@]} -gt 0 ] || candidates=(build build-asan build-web build-windows)
jobs=$(nproc)
out=$(realpath -m "${STRESS_OUT:-$root/build-stress}")
rm -rf "$out"
mkdir -p "$out"

# The tests of a build folder that hold the X server or Wine's desktop, the consumer tests and
# the web build's tests, of those REGEX matches: one name a line.
tests_of() {
  (cd "$1" && ctest --show-only=json-v1) | python3 -c '
import json, re, sys
for test in json.load(sys.stdin)["tests"]:
    locks = {lock for p in test.get("properties", []) if p["name"] == "RESOURCE_LOCK" for lock in p["value"]}
    name = test["name"]
    if (locks & {"x_server", "desktop"} or "consumer" in name or name.startswith("web_")) and re.search(sys.argv[1], name):
        print(name)' "$filter"
}

builds=()
for build in "${candidates[@]}"; do
  if [ ! -f "$root/$build/CTestTestfile.cmake" ]; then
    echo "$build/: not built (scripts/test.sh makes it), left out"
    continue
  fi
  names=$(tests_of "$root/$build")
  [ -n "$names" ] || continue
  builds+=("$build")
  echo "$build/: $(echo "$names" | tr '\n' ' ')"
  echo "$names" >"$out/$build.tests"
done
[ ${#builds[@]} -gt 0 ] || { echo "no tests to play" >&2; exit 1; }

# The load: one busy loop a core, at the tests' own priority.
load=()
stop_load() { [ ${#load[@]} -eq 0 ] || kill "${load[@]}" 2>/dev/null || true; }
trap stop_load EXIT
for _ in $(seq "$jobs"); do
  sh -c 'while :; do :; done' &
  load+=($!)
done
echo "load: $jobs busy loops; $rounds rounds"

# run_round BUILD ROUND: the build's tests once, as ctest -j <cores>, into $out/BUILD-ROUND.xml.
run_round() {
  local build=$1 round=$2 regex
  regex="^($(paste -sd'|' "$out/$build.tests"))\$"
  (
    cd "$root/$build"
    if [ "$build" = build-windows ]; then
      source "$root/scripts/wine-session.sh"
      start_wine_session "$root/$build" >/dev/null 2>&1
    fi
    ctest -R "$regex" -j "$jobs" --output-junit "$out/$build-$round.xml" >"$out/$build-$round.log" 2>&1 || true
  )
}

# With STRESS_MINUTES set, no round starts once that many minutes have passed: the table counts
# the rounds played.
start=$SECONDS
played=0
for round in $(seq "$rounds"); do
  if [ -n "${STRESS_MINUTES:-}" ] && [ $((SECONDS - start)) -ge $((STRESS_MINUTES * 60)) ]; then
    echo "$STRESS_MINUTES minutes have passed: no more rounds"
    break
  fi
  for build in "${builds[@]}"; do run_round "$build" "$round"; done
  played=$round
  failed=$(cat "$out"/*-"$round".xml | grep -c 'status="fail"' || true)
  echo "round $round/$rounds: $failed failed, $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s so far"
done
stop_load
rounds=$played

# The table, from every round's JUnit file; the output of each failed run goes to
# OUT/BUILD-TEST-ROUND.txt.
status=0
python3 - "$out" "$rounds" "${builds[@]}" <<'PY' || status=$?
import os, sys
import xml.etree.ElementTree as ET

out, rounds, builds = sys.argv[1], int(sys.argv[2]), sys.argv[3:]

def message(text):
    lines = [l.strip() for l in (text or "").splitlines() if l.strip()]
    for i, line in enumerate(lines):  # GoogleTest: the failing check and what it found
        if line.endswith(": Failure"):
            return " ".join(lines[i:i + 3])
    return lines[-1] if lines else "(no output)"

rows = []
failed = False
for build in builds:
    names = open(os.path.join(out, build + ".tests")).read().split()
    passes = dict.fromkeys(names, 0)
    skips = dict.fromkeys(names, 0)
    first, skipped = {}, {}
    for r in range(1, rounds + 1):
        path = os.path.join(out, f"{build}-{r}.xml")
        cases = ET.parse(path).getroot().iter("testcase") if os.path.exists(path) else []
        seen = set()
        for case in cases:
            name, status, text = case.get("name"), case.get("status"), case.findtext("system-out")
            seen.add(name)
            if status == "run":
                passes[name] += 1
            elif status in ("notrun", "disabled"):  # exit code 77: this build cannot run it
                skips[name] += 1
                skipped[name] = message(text)
            else:
                first.setdefault(name, f"round {r}: {message(text)}")
                with open(os.path.join(out, f"{build}-{name}-{r}.txt"), "w") as f:
                    f.write(text or "")
        for name in names:
            if name not in seen:
                first.setdefault(name, f"round {r}: did not run (see {build}-{r}.log)")
    for name in names:
        failed |= name in first
        if skips[name] == rounds:
            rows.append((f"{build}/{name}", "-", f"skipped: {skipped[name]}"))
        else:
            rows.append((f"{build}/{name}", f"{passes[name]}/{rounds - skips[name]}", first.get(name, "")))

width = max(len(r[0]) for r in rows)
print(f"\n{'test':<{width}}  passes  first failure")
for name, score, fail in rows:
    print(f"{name:<{width}}  {score:>6}  {fail}")
sys.exit(1 if failed else 0)
PY
echo "$(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s for $rounds rounds; outputs of failed runs in $out"
exit $status
