#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]
# Runs a 32-bit Windows program under Wine the way Tonvia's users run it: ANSI code page 936
# (LC_ALL=zh_CN.UTF-8), no Mono/Gecko prompts, a display (an Xvfb of its own when DISPLAY is
# unset), in the throw-away prefix PREFIX.
#
# Booting a prefix is slow (minutes where Wine's 32-bit side runs under emulation), so one booted
# template prefix per machine is kept and every new PREFIX starts as a copy of it.
set -euo pipefail

prefix=$1
shift
template=${TONVIA_WINE_TEMPLATE:-/var/cache/tonvia/wine-template}
mkdir -p "$(dirname "$prefix")" "$(dirname "$template")"
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
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

# A prefix counts as ready only once its boot has finished (the stamp is written last).
if [ ! -f "$prefix/.tonvia-ready" ]; then
  exec 9>"$template.lock"
  flock 9
  if [ ! -f "$template/.tonvia-ready" ]; then
    rm -rf "$template"
    WINEPREFIX=$template wineboot --init >/dev/null 2>&1 </dev/null || true
    WINEPREFIX=$template wineserver -w
    touch "$template/.tonvia-ready"
  fi
  if [ ! -f "$prefix/.tonvia-ready" ]; then
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
    cp -a "$template" "$prefix"
  fi
  flock -u 9
  exec 9>&-
fi

export WINEPREFIX=$prefix
# A persistent server keeps Wine's helper processes from holding the caller's output pipe.
setsid wineserver -p >/dev/null 2>&1 </dev/null || true
exec wine "$@"
