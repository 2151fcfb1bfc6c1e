# docs/API.md is what scripts/api-doc.py makes from the framework's headers today, and every
# public declaration of those headers has its comment. When this fails, run scripts/api-doc.py
# (and write the comments it names) and commit docs/API.md with the headers.
# Arguments (not used): the ondrel-replay executable, the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
command -v python3 >/dev/null || { echo "skipped: python3 is not installed"; exit 77; }
python3 "$root/scripts/api-doc.py" --check
echo "docs/API.md is current"
