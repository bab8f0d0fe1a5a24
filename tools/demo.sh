#!/usr/bin/env bash
# The Tonvia demo: installs what is missing (tools/setup.sh, as root), builds tonvia.exe and the
# driver, then runs the program under Wine against the local key-database site while the player
# simulator plays a few songs (tools/demo.py). Prints the detected titles and key texts, saves
# screenshots in build/demo/ and stops everything it started when it ends.
#   tools/demo.sh [--keep-open]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

say() { echo "[$(date +%H:%M:%S)] $*"; }

needed=(i686-w64-mingw32-g++-posix wine wineserver Xvfb import cmake python3)
missing=()
for tool in "${needed[@]}"; do command -v "$tool" >/dev/null || missing+=("$tool"); done
locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$' || missing+=(zh_CN.UTF-8)
[ -f build/deps/libjpeg/lib/libjpeg.a ] || missing+=(libjpeg-for-MinGW)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "demo: missing ${missing[*]}; run tools/setup.sh as root first" >&2
    exit 1
  fi
  say "installing what is missing (${missing[*]}) with tools/setup.sh"
  tools/setup.sh
fi

say "building tonvia.exe and the driver (cmake --preset win32)"
mkdir -p build/demo
cmake --preset win32 >build/demo/configure.log 2>&1 || { cat build/demo/configure.log; exit 1; }
cmake --build --preset win32 --target tonvia tonvia-driver

# demo.py stops what it started on any exit; the trap also covers an interrupt that reaches
# this shell first.
python3 tools/demo.py "$@" &
demo=$!
trap 'kill -TERM $demo 2>/dev/null || true; wait $demo' INT TERM HUP
wait $demo
