#!/usr/bin/env bash
# The web build's pages in headless Chromium, served by scripts/serve-web.sh on 127.0.0.1.
# Arguments: the site folder (build-web/site) and the test to run there (a script of
# tests/web/, page_test.js when not given).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
site=$1
script=${2:-page_test.js}
[ -f "$site/index.html" ] || { echo "no page in $site"; exit 1; }
command -v chromium >/dev/null || [ -x "${ONDREL_CHROMIUM:-/usr/bin/chromium}" ] || { echo "chromium is not installed (scripts/install-deps.sh web)"; exit 1; }

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
bash "$root/scripts/serve-web.sh" "$port" "$site" >"$site/../serve-web.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
url="http://127.0.0.1:$port/"
for _ in $(seq 50); do
  python3 -c "import urllib.request, sys; urllib.request.urlopen(sys.argv[1], timeout=1)" "$url" 2>/dev/null && break
  sleep 0.1
done
ONDREL_WEB_SHOTS=$(cd "$site/.." && pwd) node "$here/$script" "$url" "$root"
