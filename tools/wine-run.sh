#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]
# Runs a 32-bit Windows program under Wine the way Tonvia's users run it: ANSI code page 936
# (LC_ALL=zh_CN.UTF-8), no Mono/Gecko prompts, a display (an Xvfb of its own when DISPLAY is
# unset), in the throw-away prefix PREFIX, which is made and booted once on first use.
set -euo pipefail

prefix=$1
shift
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ -z "${DISPLAY:-}" ]; then
  exec 8>"$prefix.display.lock"
  flock 8
  if [ -f "$prefix.display" ] && xdpyinfo -display "$(cat "$prefix.display")" >/dev/null 2>&1; then
    DISPLAY=$(cat "$prefix.display")
  else
    rm -f "$prefix.display"
    exec 3<> <(:)
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    read -r -t 10 number <&3
    exec 3<&-
    DISPLAY=":$number"
    echo "$DISPLAY" >"$prefix.display"
  fi
  flock -u 8
  export DISPLAY
fi

# Boot the prefix once; concurrent callers wait for the first one.
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/system.reg" ]; then
  wineboot --init >/dev/null 2>&1 </dev/null || true
  wineserver -w
fi
# A persistent server keeps Wine's helper processes from holding the caller's output pipe.
setsid wineserver -p >/dev/null 2>&1 </dev/null || true
flock -u 9
exec 9>&-

exec wine "$@"
