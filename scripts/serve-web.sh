#!/usr/bin/env bash
# Serves the page that scripts/build-web.sh built, on this machine only:
#   scripts/serve-web.sh [PORT] [SITE_FOLDER]   (defaults: 8000, build-web/site)
# The page is static files: any web server can serve the same folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
port=${1:-8000}
site=${2:-$root/build-web/site}
if [ ! -f "$site/index.html" ]; then
  echo "No page in $site: build it first with scripts/build-web.sh" >&2
  exit 1
fi
echo "Serving $site at http://127.0.0.1:$port/ (Ctrl+C stops)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
