#!/usr/bin/env bash
# The test command: installs what is missing, builds the native, win64 and win32 presets and runs
# their tests (natively, then under Wine with code page 936), plus a short fuzz run of the module
# image checks. Exits non-zero on any failure.
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
  for prefix in build/win64/wineprefix build/win32/wineprefix build/win32/e2e/wineprefix; do
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

# The first process of a Wine session boots its services, which takes minutes where Wine's 32-bit
# side is emulated; do it once per build tree here so that no test's time limit pays for it.
wine_session() {  # wine_session win32|win64
  WINEARCH=$1 timeout 1800 tools/wine-run.sh "$root/build/$1/wineprefix" cmd.exe /c exit \
    >"build/$1/wine-session.log" 2>&1 </dev/null
}

# The word-size independent libraries with their Windows tests, under Wine's 64-bit side, which
# runs natively everywhere.
step cmake --preset win64
step cmake --build --preset win64
step wine_session win64
step ctest --preset win64

# Wine's 32-bit side runs natively only where the kernel runs i386 programs. Under qemu's user-mode
# emulation (tools/setup.sh sets it up on 64-bit-only kernels) every Wine process takes about a
# minute of CPU to start, socket calls stall for good, and now and then a process crashes. There
# the tests run one at a time, those that use the network (label network) are left out (their
# code is tested by the win64 run above), and a failed test gets one more run.
wine_emulated() { grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; }

step cmake --preset win32
step cmake --build --preset win32
step wine_session win32
# The end-to-end tests (label e2e) are run on their own: ctest --preset win32 -L e2e
if wine_emulated; then
  echo "test: Wine's 32-bit side is emulated here: NOT RUN under it: lookup_win_tests (network)"
  step ctest --preset win32 -LE 'e2e|network' --parallel 1 --repeat until-pass:2
else
  step ctest --preset win32 -LE e2e
fi

exit $failed
