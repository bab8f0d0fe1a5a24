#!/usr/bin/env bash
# wine-prefix.sh PREFIX
# Makes PREFIX a ready 32-bit Wine prefix, in the caller's Wine environment. Booting a prefix is
# slow (minutes where Wine's 32-bit side runs under emulation), so one booted template prefix is
# kept per machine and every new prefix starts as a copy of it. A prefix counts as ready only
# once its boot has finished: the stamp is written last.
set -euo pipefail

prefix=$1
template=${TONVIA_WINE_TEMPLATE:-/var/cache/tonvia/wine-template}
stamp=.tonvia-ready
[ -f "$prefix/$stamp" ] && exit 0

mkdir -p "$(dirname "$prefix")" "$(dirname "$template")"
exec 9>"$template.lock"
flock 9
if [ ! -f "$template/$stamp" ]; then
  echo "wine-prefix: booting the template prefix $template (minutes under emulation)" >&2
  rm -rf "$template"
  WINEPREFIX=$template wineboot --init >/dev/null 2>&1 </dev/null || true
  WINEPREFIX=$template wineserver -w
  touch "$template/$stamp"
fi
if [ ! -f "$prefix/$stamp" ]; then
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
fi
