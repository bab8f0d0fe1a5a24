#!/usr/bin/env bash
# Renders the program icon, res/tonvia.ico: a white eighth note with a sharp sign on a disc in the
# application's blue, as 128, 48, 32 and 16 pixel images of 32 bits per pixel (with alpha). The
# 16 pixel image leaves out the sharp, which would blur into the note at that size.
# Needs ImageMagick. Run from anywhere; rewrites the committed tonvia.ico.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Drawn at 512 x 512 and scaled down, so every size is antialiased alike.
disc='stroke none fill rgb(0,136,255) circle 256,256 256,14'
note='stroke none fill white
push graphic-context translate 236,362 rotate -24 ellipse 0,0 66,46 0,360 pop graphic-context
rectangle 276,118 302,360
path "M 276,118 L 302,118 C 312,176 396,196 386,282 C 372,236 338,220 302,214 Z"'
sharp='stroke white stroke-width 16 stroke-linecap round
line 146,118 146,258 line 182,108 182,248 line 118,170 212,150 line 118,220 212,200'

convert -size 512x512 xc:none -draw "$disc $note $sharp" "$work/full.png"
# The note alone, centred and a little larger.
convert -size 512x512 xc:none -draw "$disc
push graphic-context translate 256,256 scale 1.15,1.15 translate -278,-263 $note pop graphic-context" \
  "$work/small.png"

for size in 128 48 32 16; do
  master=full
  [ "$size" = 16 ] && master=small
  convert "$work/$master.png" -filter Lanczos -resize "${size}x${size}" "PNG32:$work/icon-$size.png"
done
convert "$work/icon-128.png" "$work/icon-48.png" "$work/icon-32.png" "$work/icon-16.png" \
  -define icon:format=bmp "$here/tonvia.ico"
