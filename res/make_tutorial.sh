#!/usr/bin/env bash
# Renders the setup tutorial picture, res/tutorial.jpg: a progressive JPEG of 584 x 446 pixels in
# three 8-bit components, showing in three numbered steps where to read the player's drive letter
# and where to type it. The player's screens are plain drawings of a generic player.
# The tutorial window hides the first 2 columns and 8 rows, so nothing important sits near the
# top-left edges. Needs ImageMagick and fonts-wqy-microhei. Rewrites the committed tutorial.jpg.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -f "$font" ] || { echo "missing $font (fonts-wqy-microhei)" >&2; exit 1; }

red='rgb(227,38,42)'
blue='rgb(0,136,255)'
dark='rgb(47,62,82)'
mvg=""
add() { mvg+="$*"$'\n'; }

# text X Y SIZE COLOUR STRING (a backslash is doubled: MVG reads it as an escape)
text() { add "fill $4 stroke none font-size $3 text $1,$2 '${5//\\/\\\\}'"; }
# ctext CX Y SIZE COLOUR STRING: centred on CX
ctext() { add "push graphic-context text-anchor middle"; text "$@"; add "pop graphic-context"; }
# box X0 Y0 X1 Y1 FILL BORDER
box() { add "fill $5 stroke $6 stroke-width 1 rectangle $1.5,$2.5 $3.5,$4.5"; }
# window X0 Y0 X1 Y1 TITLE: a framed window with a dark caption bar and a close cross
window() {
  add "fill rgba(0,0,0,0.18) stroke none roundrectangle $(($1 + 3)),$(($2 + 4)) $(($3 + 3)),$(($4 + 4)) 4,4"
  box "$1" "$2" "$3" "$4" white 'rgb(150,158,170)'
  add "fill $dark stroke none rectangle $(($1 + 1)),$(($2 + 1)) $3,$(($2 + 25))"
  text $(($1 + 10)) $(($2 + 18)) 13 white "$5"
  local x=$(($3 - 14)) y=$(($2 + 13))
  add "stroke white stroke-width 1.6 line $((x - 4)),$((y - 4)) $((x + 4)),$((y + 4)) line $((x - 4)),$((y + 4)) $((x + 4)),$((y - 4))"
}
# step CX CY N: a large red circled step number
step() {
  add "fill $red stroke white stroke-width 2 circle $1,$2 $(($1 + 15)),$2"
  ctext "$1" $(($2 + 8)) 22 white "$3"
}
# arrow X0 Y0 CX CY X1 Y1: a red curve from X0,Y0 bent towards the control point CX,CY, with its
# head at X1,Y1 pointing the way the curve ends (from CX,CY towards X1,Y1)
arrow() {
  local angle
  angle=$(awk "BEGIN { print atan2($6 - $4, $5 - $3) * 45 / atan2(1, 1) }")
  add "fill none stroke $red stroke-width 4 stroke-linecap round path 'M $1,$2 Q $3,$4 $5,$6'"
  add "push graphic-context translate $5,$6 rotate $angle"
  add "fill $red stroke $red stroke-width 1 stroke-linejoin round polygon 4,0 -12,-8 -12,8"
  add "pop graphic-context"
}
# mark X0 Y0 X1 Y1: a red rounded frame around something
mark() { add "fill none stroke $red stroke-width 2.5 roundrectangle $1,$2 $3,$4 5,5"; }

add "font '$font'"

# Step 1: the player, its main menu opened from the gear button in the title bar.
window 14 16 266 226 "音乐播放器"
add "fill none stroke white stroke-width 2 circle 216,29 216,34"           # gear button
add "fill white stroke none circle 216,29 216,31"
for a in 0 45 90 135 180 225 270 315; do
  add "push graphic-context translate 216,29 rotate $a fill white stroke none rectangle -1.5,-8 1.5,-5 pop graphic-context"
done
add "stroke white stroke-width 1.6 line 230,30 238,30"                     # minimise
add "fill rgb(238,241,245) stroke rgb(205,210,218) stroke-width 1 roundrectangle 24,50 146,68 9,9"
text 34 63 11 'rgb(140,148,160)' "搜索歌曲"
text 24 88 12 "$dark" "我的音乐"
for i in 0 1 2 3 4; do
  y=$((98 + i * 18))
  add "fill rgb(222,226,232) stroke none rectangle 24,$y $((70 + (i * 37) % 60)),$((y + 7))"
done
add "fill rgb(243,245,248) stroke rgb(215,219,226) stroke-width 1 rectangle 15,194 265,225"
add "fill $blue stroke none circle 140,210 140,199"
add "fill white stroke none polygon 137,204 137,216 146,210"
add "fill $dark stroke none polygon 112,210 120,204 120,216 polygon 168,210 160,204 160,216"
add "fill rgb(200,205,212) stroke none rectangle 24,199 90,201 rectangle 190,199 256,201"
# the menu below the gear
add "fill rgba(0,0,0,0.2) stroke none rectangle 152,44 256,182"
box 148 40 252 178 white 'rgb(190,196,205)'
items=("登录账号" "皮肤中心" "设置" "检查更新" "意见反馈" "退出")
for i in "${!items[@]}"; do
  y=$((46 + i * 22))
  [ "${items[$i]}" = "设置" ] && add "fill rgb(225,239,255) stroke none rectangle 149,$y 251,$((y + 21))"
  text 162 $((y + 15)) 12 "$dark" "${items[$i]}"
done
mark 152 89 248 111
add "fill none stroke $red stroke-width 2 circle 216,29 216,40"   # the gear that opens it
step 120 100 1

# Step 2: the player's options, download settings page.
window 290 16 572 238 "选项设置"
add "fill rgb(238,241,245) stroke none rectangle 291,42 368,237"
pages=("常规设置" "热键设置" "下载设置" "歌词设置" "桌面歌词" "网络设置")
for i in "${!pages[@]}"; do
  y=$((50 + i * 26))
  if [ "${pages[$i]}" = "下载设置" ]; then
    add "fill $blue stroke none rectangle 291,$y 368,$((y + 24))"
    text 303 $((y + 17)) 12 white "${pages[$i]}"
  else
    text 303 $((y + 17)) 12 "$dark" "${pages[$i]}"
  fi
done
text 380 64 14 "$dark" "下载设置"
add "stroke rgb(220,224,230) stroke-width 1 line 380,72 562,72"
box 380 84 392 96 white 'rgb(150,158,170)'
add "fill none stroke $blue stroke-width 2 polyline 382,90 386,94 391,86"
text 398 95 12 "$dark" "下载歌曲时同时下载歌词"
# folder rows: label, path box, change button
folder() {
  text 380 "$1" 12 "$dark" "$2"
  box 380 $(($1 + 7)) 508 $(($1 + 29)) white 'rgb(170,178,190)'
  text 386 $(($1 + 23)) 12 black "$3"
  box 514 $(($1 + 7)) 562 $(($1 + 29)) 'rgb(240,242,246)' 'rgb(170,178,190)'
  ctext 538 $(($1 + 23)) 12 "$dark" "更改"
}
folder 124 "缓存目录：" 'E:\KuGou\Temp\'
folder 174 "歌词目录：" 'E:\KuGou\Lyric\'
add "fill none stroke $red stroke-width 2.5 ellipse 391,192 10,12 0,360"    # the drive letter
step 548 222 2
arrow 250 100 276 96 300 114

# Step 3: Tonvia's window (its layout scaled to 0.7), the drive letter typed into its field.
window 34 262 346 438 "Tonvia v2.0 - Velmora"
text 42 305 11 black "酷狗盘符："
box 99 291 170 310 white 'rgb(130,138,150)'
ctext 135 305 13 black "E"
text 180 305 11 black "歌曲识别："
box 237 289 337 308 'rgb(240,240,240)' 'rgb(170,176,186)'
for b in "42 开始检测" "145 停止检测" "248 设置教程"; do
  x=${b%% *}
  box "$x" 317 $((x + 86)) 339 'rgb(240,242,246)' 'rgb(150,158,170)'
  ctext $((x + 43)) 333 12 black "${b#* }"
done
box 40 347 337 430 white 'rgb(170,176,186)'
text 46 365 12 "$blue" "这里显示当前歌曲的基调。"
mark 95 287 174 314
step 20 300 3
arrow 391 206 262 244 176 287

# What to do, in words.
add "fill white stroke rgb(215,219,226) stroke-width 1 roundrectangle 362,262 572,428 6,6"
text 376 288 15 "$red" "设置方法"
text 376 314 13 "$dark" "1. 点播放器标题栏的齿轮，"
text 392 333 13 "$dark" "选“设置”"
text 376 358 13 "$dark" "2. 在“下载设置”里看歌词目录"
text 392 377 13 "$dark" "的盘符（这里是 E）"
text 376 402 13 "$dark" "3. 填进“酷狗盘符：”，再点"
text 392 421 13 "$dark" "“开始检测”"

convert -size 584x446 'xc:rgb(243,245,248)' -draw "$mvg" -type TrueColor -strip \
  -sampling-factor 1x1 -quality 92 -interlace Plane "JPEG:$here/tutorial.jpg"
