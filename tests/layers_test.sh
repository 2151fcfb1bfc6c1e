# The arrows between the layers (docs/ARCHITECTURE.md) are enforced by the build: a library sees
# only the headers of the libraries it links. This test closes the two ways around that:
#  - an include by relative path ("../gfx/surface.h") reaches any file, so there is none;
#  - system headers are always on the path, so above platform/ only the C++ standard library's
#    own headers (<vector>, <cstdint>: no extension, no folder) may be included. The gallery and the
#    sandbox are programs on the framework and keep to that too; only their screenshot tools write PNG.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
failed=0

relative=$(grep -rnE '^\s*#\s*include\s*"\.\.?/' app tasks io gfx win water entry gallery sandbox examples platform tools tests bench fuzz 2>/dev/null || true)
if [ -n "$relative" ]; then
  echo "includes by relative path:"
  echo "$relative"
  failed=1
fi

system=$(grep -rnE --exclude=screenshot.cpp '^\s*#\s*include\s*<' app tasks io gfx win water entry gallery sandbox examples | grep -vE '#\s*include\s*<[a-z_]+>' || true)
if [ -n "$system" ]; then
  echo "headers beyond the C++ standard library above platform/:"
  echo "$system"
  failed=1
fi

[ $failed -eq 0 ] && echo "no include goes around the layers"
exit $failed
