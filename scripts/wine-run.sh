#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix: scripts/wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix (64-bit only) is made on first use; several runs may start at once, the first one
# makes it and the others wait. Wine's own diagnostics are off, the program's output is kept.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installer dialogs while the prefix is made: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml=;${WINEDLLOVERRIDES:-}"
wine=$(command -v wine64 || command -v wine || true)
[ -n "$wine" ] || { echo "wine-run: Wine is not installed (scripts/install-deps.sh all)" >&2; exit 1; }
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.ondrel-ready" ]; then
    echo "wine-run: making the Wine prefix $prefix (once)" >&2
    "$wine" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$prefix/system.reg" ] || { echo "wine-run: wineboot made no prefix in $prefix" >&2; exit 1; }
    touch "$prefix/.ondrel-ready"
  fi
) 9>"$prefix.lock"
exec "$wine" "$@"
