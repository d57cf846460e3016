#!/usr/bin/env bash
# Draws the banner (four 125 x 154 24-bit bitmaps) and the program icon with ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
mvg=$(mktemp --suffix=.mvg)
trap 'rm -f "$mvg"' EXIT
{
  echo "fill '#5b8c3a' polygon 0,112 60,90 140,98 220,84 300,94 380,80 460,92 500,86 500,154 0,154"
  echo "fill '#8c7a60' rectangle 0,121 499,141"
  for s in $(seq 0 14 499); do echo "fill '#4a3b2a' rectangle $s,123 $((s+6)),139"; done
  echo "fill '#b8b8b8' rectangle 0,125 499,127 rectangle 0,134 499,136"
  # locomotive and two coaches
  echo "fill '#8b1a1a' roundrectangle 150,90 252,122 6,6 rectangle 258,96 346,122 rectangle 352,96 440,122"
  echo "fill '#2a2a2a' rectangle 160,68 176,92 rectangle 214,80 252,92"
  echo "fill '#2a2a2a' circle 172,122 172,131 circle 232,122 232,131 circle 275,122 275,128 circle 328,122 328,128 circle 369,122 369,128 circle 422,122 422,128"
  echo "fill '#f4e27a' rectangle 222,98 242,110"
  for x in 266 292 318 360 386 412; do echo "fill '#f4e27a' rectangle $x,102 $((x+16)),112"; done
  echo "fill '#ffffffc0' circle 150,56 164,56 circle 134,44 147,44 circle 118,33 129,33"
  echo "fill white ellipse 60,30 30,10 0,360 ellipse 400,24 40,12 0,360"
  echo "fill '#707070' rectangle 30,70 34,121 fill '#cc2222' circle 32,66 32,72"
} > "$mvg"
convert -size 500x154 gradient:'#6fa8dc'-'#e3f1f9' -draw "$(cat "$mvg")" full.png
for i in 1 2 3 4; do
  convert full.png -crop 125x154+$(( (i - 1) * 125 ))+0 +repage -type TrueColor BMP3:banner$i.bmp
done
rm -f full.png
# Icon: a red coach on a track, in three sizes.
convert -size 64x64 xc:none \
  -fill '#2e6da4' -draw "roundrectangle 0,0 63,63 10,10" \
  -fill '#8b1a1a' -draw "roundrectangle 8,16 56,44 5,5" \
  -fill '#f4e27a' -draw "rectangle 14,22 24,32 rectangle 28,22 38,32 rectangle 42,22 50,32" \
  -fill '#222222' -draw "circle 18,46 18,51 circle 46,46 46,51" \
  -fill '#cccccc' -draw "rectangle 2,52 61,55" \
  -define icon:auto-resize=48,32,16 Gleisora.ico
