#!/usr/bin/env bash
# wine-prefix.sh PREFIX
# Makes PREFIX a ready Wine prefix of the caller's WINEARCH (win32 unless set), in the caller's
# Wine environment. Booting a prefix is slow (minutes where Wine's 32-bit side runs under
# emulation), so one booted template prefix per architecture is kept per machine and every new
# prefix starts as a copy of it. A prefix counts as ready only once its boot has finished: the
# stamp is written last.
set -euo pipefail

prefix=$1
arch=${WINEARCH:-win32}
if [ "$arch" = win64 ]; then
  template=${TONVIA_WINE_TEMPLATE:-/var/cache/tonvia/wine-template-win64}
  loader=/usr/lib/wine/wine64
else
  template=${TONVIA_WINE_TEMPLATE:-/var/cache/tonvia/wine-template}
  loader=wine
fi
stamp=.tonvia-ready
[ -f "$prefix/$stamp" ] && exit 0

mkdir -p "$(dirname "$prefix")" "$(dirname "$template")"
exec 9>"$template.lock"
flock 9
# Even a 64-bit boot starts a few 32-bit programs, which may stall under emulation: a boot that
# has not finished in 20 minutes is ended and tried once more.
boot() {
  rm -rf "$template"
  WINEPREFIX=$template WINEARCH=$arch timeout 1200 "$loader" wineboot --init \
    >/dev/null 2>&1 </dev/null
  WINEPREFIX=$template timeout 1200 wineserver -w
}
for _ in 1 2; do
  [ -f "$template/$stamp" ] && break
  echo "wine-prefix: booting the template prefix $template (minutes under emulation)" >&2
  if boot; then
    touch "$template/$stamp"
  else
    WINEPREFIX=$template wineserver -k >/dev/null 2>&1 || true
  fi
done
if [ ! -f "$template/$stamp" ]; then
  echo "wine-prefix: the boot of $template did not finish" >&2
  exit 1
fi
if [ ! -f "$prefix/$stamp" ]; then
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
fi
