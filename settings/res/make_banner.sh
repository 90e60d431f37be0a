#!/usr/bin/env bash
# Writes banner.bmp, the picture of the settings dialog's version page: a
# 350 x 280 bitmap of 8 bits per pixel.  Rows 0 to 79 hold the whole banner;
# below it lie five 240 x 40 frames (rows 80, 120, 160, 200 and 240) that
# the page shows one a second over the banner's top-left corner: a glint
# running over the name.
# Run it again only to change the picture (ImageMagick 6 and the DejaVu and
# IPA fonts); the bitmap is committed beside this script.
set -euo pipefail
cd "$(dirname "$0")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
plain=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
japanese=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf

# The little bar of the launcher's icon: a grey strip with three buttons.
barArgs=(-fill "#c0c0c0" -stroke "#202020" -strokewidth 1 -draw "rectangle 12,6 36,74")
top=12
for colour in "#d03030" "#30a030" "#3050d0"; do
  barArgs+=(-fill "$colour" -stroke "#404040" -draw "rectangle 16,$top 32,$((top + 14))")
  top=$((top + 20))
done

banner() {
  local out="$1"
  convert -size 80x350 gradient:"#0b2466"-"#1a8cb4" -rotate -90 \
    "${barArgs[@]}" \
    -stroke none -fill "#00000070" -font "$bold" -pointsize 31 -annotate +50+37 "Kobarune" \
    -fill white -annotate +48+35 "Kobarune" \
    -fill "#ffffff60" -draw "rectangle 48,43 226,44" \
    -fill "#d8ecff" -font "$japanese" -pointsize 13 -annotate +50+62 "デスクトップ ランチャー" \
    -fill "#ffe680" -font "$plain" -pointsize 13 -annotate +240+70 "Version 2.00β" \
    "$out"
}

banner "$work/banner.png"

# Frame k (1 … 5): the banner's corner with a glint band at x = 30 + 40 k.
frames=()
for k in 1 2 3 4 5; do
  x=$((30 + 40 * k))
  convert "$work/banner.png" -crop 240x40+0+0 +repage \
    \( -size 240x40 xc:none -fill "#ffffff58" \
       -draw "polygon $((x - 6)),0 $((x + 10)),0 $((x - 2)),40 $((x - 18)),40" \
       -fill "#ffffff30" \
       -draw "polygon $((x + 14)),0 $((x + 20)),0 $((x + 8)),40 $((x + 2)),40" \) \
    -compose screen -composite "$work/frame$k.png"
  frames+=("$work/frame$k.png")
done

# The frames stacked under the banner; their right part is never shown.
convert -size 350x280 xc:"#0b2466" \
  "$work/banner.png" -geometry +0+0 -composite \
  "${frames[0]}" -geometry +0+80 -composite \
  "${frames[1]}" -geometry +0+120 -composite \
  "${frames[2]}" -geometry +0+160 -composite \
  "${frames[3]}" -geometry +0+200 -composite \
  "${frames[4]}" -geometry +0+240 -composite \
  -alpha off -dither None -colors 256 -type Palette -depth 8 -compress None \
  BMP3:banner.bmp
