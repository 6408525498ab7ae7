#!/usr/bin/env bash
# Draws the application icon (res/skyvane-16/32/48.png and the multi-size
# res/skyvane.ico) with ImageMagick. The results are committed; run this only
# to change the design: scripts/make-icon.sh res
set -euo pipefail
out=${1:-.}
# The design lives in a 256 x 256 frame and is drawn eight times larger than
# each target size, then averaged down, so edges are smooth at 16 px too.
draw() {
  local size=$1 big=$(( $1 * 8 ))
  local w=22; [ "$size" -le 16 ] && w=28
  local s; s=$(awk -v b="$big" 'BEGIN{printf "%.5f", b/256}')
  convert -size ${big}x${big} xc:none \
    -draw "scale $s,$s
      fill '#14285a' stroke none roundrectangle 8,8 248,248 44,44
      fill '#1f3f86' circle 128,128 128,16
      fill '#ffffff' circle 62,70 62,82
      fill '#ffffff' circle 196,186 196,194
      stroke '#f2c230' stroke-width $w stroke-linecap round line 70,186 170,86
      stroke none fill '#f2c230' polygon 214,42 146,70 186,110
      fill '#f2c230' polygon 86,170 40,160 30,200 66,190 56,226 96,216" \
    -filter Box -resize ${size}x${size} -depth 8 -strip "PNG32:$out/skyvane-$size.png"
}
for n in 16 32 48; do draw $n; done
convert "$out/skyvane-16.png" "$out/skyvane-32.png" "$out/skyvane-48.png" "$out/skyvane.ico"
