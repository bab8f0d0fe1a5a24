#!/usr/bin/env bash
# The test command: installs what is missing, builds the native and the win32 presets and runs
# every test of both (natively, then under Wine with code page 936), plus a short fuzz run of the
# module image checks. Exits non-zero on any failure.
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

fuzz() {
  tools/fuzz-pe.sh 60 >build/fuzz.log 2>&1
  local rc=$?
  grep -E '^(Done|stat::number_of_executed_units)' build/fuzz.log || tail -n 20 build/fuzz.log
  return $rc
}

# Wine processes and the test display end with the run.
cleanup() {
  for prefix in build/win32/wineprefix build/win32/e2e/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX="$root/$prefix" wineserver -k >/dev/null 2>&1
    if [ -f "$prefix.display.pid" ]; then
      kill "$(cat "$prefix.display.pid")" >/dev/null 2>&1
      rm -f "$prefix.display.pid" "$prefix.display"
    fi
  done
  return 0
}
trap cleanup EXIT

step cmake --preset native
step cmake --build --preset native
step ctest --preset native
step fuzz

step cmake --preset win32
step cmake --build --preset win32
step ctest --preset win32

exit $failed
