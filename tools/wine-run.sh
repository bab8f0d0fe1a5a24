#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program under Wine the way Tonvia's users run it: ANSI code page 936
# (LC_ALL=zh_CN.UTF-8), no Mono/Gecko prompts, a display (an Xvfb of its own when DISPLAY is
# unset), in the throw-away prefix PREFIX (made ready by wine-prefix.sh on first use).
# WINEARCH=win64 runs 64-bit programs with Wine's 64-bit loader in a 64-bit prefix; the default,
# win32, is the program's own platform.
set -euo pipefail

prefix=$1
shift
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")  # Wine wants it absolute
export WINEARCH=${WINEARCH:-win32} WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if [ -z "${DISPLAY:-}" ]; then
  exec 8>"$prefix.display.lock"
  flock 8
  if [ -f "$prefix.display" ] && xdpyinfo -display "$(cat "$prefix.display")" >/dev/null 2>&1; then
    DISPLAY=$(cat "$prefix.display")
  else
    rm -f "$prefix.display"
    exec 3<> <(:)
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    echo $! >"$prefix.display.pid"
    read -r -t 30 number <&3
    exec 3<&-
    DISPLAY=":$number"
    echo "$DISPLAY" >"$prefix.display"
  fi
  flock -u 8
  exec 8>&-
  export DISPLAY
fi

"$(dirname "$0")/wine-prefix.sh" "$prefix"

export WINEPREFIX=$prefix
# A persistent server keeps Wine's helper processes from holding the caller's output pipe.
setsid wineserver -p >/dev/null 2>&1 </dev/null || true
if [ "$WINEARCH" = win64 ]; then
  exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
