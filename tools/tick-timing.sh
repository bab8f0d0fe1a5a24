#!/usr/bin/env bash
# tick-timing.sh [SONGS] [IDLE_TICKS]
# Times whole detection ticks (lookup/bench/tick_timing.cpp) under Wine's 64-bit side against the
# local key-database site on a free port: the idle tick and the tick that finds and looks up a
# song. Builds the win64 preset's timing tool first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tick_timing >/dev/null

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 tools/keysite/keysite.py --background --port "$port" --out build/win64/tick-timing-site.out
stop() {
  python3 tools/keysite/keysite.py --stop --port "$port" >/dev/null 2>&1 || true
  WINEPREFIX=$root/build/win64/wineprefix wineserver -k >/dev/null 2>&1 || true
}
trap stop EXIT

export WINEARCH=win64
# Helpers of a new Wine session keep the caller's output open: start the session apart.
tools/wine-run.sh build/win64/wineprefix cmd.exe /c exit >build/win64/wine-session.log 2>&1 </dev/null
TONVIA_TEST_SITE=http://127.0.0.1:$port \
  tools/wine-run.sh build/win64/wineprefix build/win64/lookup/tick_timing.exe "$@" </dev/null
