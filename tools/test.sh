#!/usr/bin/env bash
# The test command: installs what is missing, builds the native and the win32 presets and runs
# every test of both (natively, then under Wine with code page 936). Exits non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "$(id -u)" = 0 ]; then
  tools/setup.sh || exit 1
else
  echo "test: not root, skipping tools/setup.sh (run it as root once)"
fi

failed=0
step() {
  echo "== $*"
  "$@" || { echo "test: FAILED: $*"; failed=1; }
}

step cmake --preset native
step cmake --build --preset native
step ctest --preset native

step cmake --preset win32
step cmake --build --preset win32
step ctest --preset win32

# Wine processes and the test display end with the run.
WINEPREFIX="$root/build/win32/wineprefix" wineserver -k >/dev/null 2>&1 || true
if [ -f build/win32/wineprefix.display ]; then
  pkill -f "Xvfb -displayfd" >/dev/null 2>&1 || true
  rm -f build/win32/wineprefix.display
fi

exit $failed
