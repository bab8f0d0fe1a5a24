#!/usr/bin/env bash
# screenshots.sh: runs build/win32/tonvia.exe on an Xvfb of its own, with Wine drawing the window
# frames and captions itself (no window manager runs there), and saves PNGs under
# build/screenshots/:
#   main.png      the main window with a detected song title and its key text
#   tutorial.png  the tutorial window
#   desktop-*.png the whole desktop behind each of them
# The prefix build/screenshots/wineprefix is made on first use (tools/wine-prefix.sh) and holds a prepared C:\vazada.ini, so no warning shows.
# Needs build/win32/tonvia.exe and build/win32/tonvia-driver.exe.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/screenshots
prefix=$out/wineprefix
exe=$root/build/win32/tonvia.exe
driver=$root/build/win32/tonvia-driver.exe
for f in "$exe" "$driver"; do
  [ -f "$f" ] || { echo "screenshots.sh: missing $f (build the win32 preset)" >&2; exit 1; }
done

export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$out"

# An X display of our own, stopped on exit together with this prefix's Wine processes.
exec 3<> <(:)
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
xvfb_pid=$!
read -r -t 20 number <&3
exec 3<&-
export DISPLAY=":$number"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

"$root/tools/wine-prefix.sh" "$prefix"
# Windows not managed by a window manager get their frames and captions from Wine. (A virtual
# desktop would do the same, but its window fails to be created where Wine's 32-bit side is
# emulated.) The server is not running yet, so user.reg can be edited.
if ! grep -q 'X11 Driver' "$prefix/user.reg"; then
  printf '\n[Software\\\\Wine\\\\X11 Driver] %s\n"Managed"="N"\n' "$(date +%s)" >>"$prefix/user.reg"
fi
# Wine's helpers inherit open pipes: every Wine process writes into files.
setsid wineserver -p >/dev/null 2>&1 </dev/null || true

printf '[酷狗]\r\n酷狗盘符=E\r\n' | iconv -f UTF-8 -t GBK >"$prefix/drive_c/vazada.ini"

run_driver() {
  wine "$driver" "$@" >"$out/driver.out" 2>&1 </dev/null || {
    echo "screenshots.sh: driver $* failed:" >&2
    cat "$out/driver.out" >&2
    exit 1
  }
}

echo "starting tonvia.exe"
wine "$exe" >"$out/tonvia.log" 2>&1 </dev/null &

# What a detected song looks like: the title cut from the lyric file name and its key text.
run_driver find 600 wait-visible 600 \
  set title "晴天" \
  set results $'《晴天》 原调：G大调 基调：G 速度：69 BPM\r\n\r\n《晴天》(Live) 原调：A大调 基调：A' \
  sleep 1500

# The windows are centred on the 1024 x 768 screen.
capture() {  # name width height
  local left=$(((1024 - $2) / 2)) top=$(((768 - $3) / 2))
  import -display "$DISPLAY" -window root "$out/desktop-$1.png"
  convert "$out/desktop-$1.png" -crop "$2x$3+$left+$top" +repage "$out/$1.png"
  echo "saved $out/$1.png"
}
capture main 449 314

run_driver click tutorial sleep 4000
capture tutorial 587 473

run_driver close-title "设置教程" close wait-gone 120
