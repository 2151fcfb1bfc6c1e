#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test twice: a normal build, and a build
# with AddressSanitizer and UndefinedBehaviorSanitizer; between them the web page is built and
# played in a browser; then every fuzzer runs for a few seconds, and the Windows build's tests run
# under Wine. Each build is also installed and the examples built against it. Last, the release
# files are made and each is built against as its user takes it. Nothing is left out for a
# missing library.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" all
jobs=$(nproc)

echo "== normal build =="
"$root/scripts/build.sh" "$root/build" -DONDREL_REQUIRE_ALL=ON
(cd "$root/build" && ctest --output-on-failure -j "$jobs")

echo "== the web page (emscripten), played in headless Chromium =="
"$root/scripts/build-web.sh" "$root/build-web"
(cd "$root/build-web" && ctest --output-on-failure)

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$root/scripts/build.sh" "$root/build-asan" -DONDREL_REQUIRE_ALL=ON -DONDREL_SANITIZE=ON -DONDREL_BENCHMARKS=OFF
(cd "$root/build-asan" && ctest --output-on-failure -j "$jobs")

echo "== fuzzers, a few seconds each =="
"$root/scripts/fuzz.sh" --smoke

# --- Windows ------------------------------------------------------------------------------------
# The same code built for Windows with MinGW-w64; under Wine (private prefix in build-windows/,
# Xvfb): the platform contract tests, the portable suites and ondrel.exe end to end.
echo "== Windows build (MinGW-w64), tests under Wine =="
"$root/scripts/build-windows.sh" --test "$root/build-windows"

# --- Releases -----------------------------------------------------------------------------------
# The release files from the builds above, each taken as its user takes it: the Debian packages
# checked by lintian and installed into a fresh Debian root, built against, run and removed; the
# developer archives unpacked elsewhere and built against.
echo "== release files, built against as their users take them =="
"$root/scripts/package.sh"
bash "$root/tests/release_files.sh" "$root/dist" "$root/build-windows"
