#!/usr/bin/env bash
# Draws the application icon (a red window with rounded corners, a white round hole and a dark
# triangle) with ImageMagick in every hicolor size, 8 bits per channel as icon themes expect, and
# writes the same three shapes as resources/icons/zarnik.svg for the scalable size. The 32 x 32
# and 16 x 16 images are also compiled into the program.
set -euo pipefail
out="$(cd "$(dirname "$0")/../resources" && pwd)/icons"
mkdir -p "$out"

# The shapes of an icon s pixels wide, in whole pixels, so that the small sizes stay sharp:
# border width, rounded window (left/top, right/bottom, corner radius), hole (centre x, centre y,
# radius) and triangle (left x, bottom y, apex x, apex y, right x).
shapes() {
    local s=$1
    border=$((s / 16 > 0 ? s / 16 : 1))
    near=$((s / 16)) far=$((s - 1 - s / 16)) corner=$((s / 4))
    hole_x=$((s * 11 / 16)) hole_y=$((s * 5 / 16)) hole_r=$((s / 6))
    tri_left=$((s / 4)) tri_bottom=$((s * 3 / 4)) apex_x=$((s / 2)) apex_y=$((s * 7 / 16))
    tri_right=$((s * 3 / 4))
}

for s in 16 32 48 64 128 256; do
    shapes "$s"
    convert -size "${s}x${s}" xc:none \
        -fill '#c00000' -stroke '#400000' -strokewidth "$border" \
        -draw "roundrectangle $near,$near $far,$far $corner,$corner" \
        -fill '#ffffff' -stroke none \
        -draw "ellipse $hole_x,$hole_y $hole_r,$hole_r 0,360" \
        -fill '#202020' \
        -draw "polygon $tri_left,$tri_bottom $apex_x,$apex_y $tri_right,$tri_bottom" \
        -depth 8 -define png:color-type=6 -define png:bit-depth=8 "$out/zarnik-$s.png"
done

# ImageMagick puts a pixel's centre on whole coordinates, SVG on halves: hence the half-pixel shift.
s=256
shapes "$s"
cat >"$out/zarnik.svg" <<SVG
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="$s" height="$s" viewBox="0 0 $s $s">
  <g transform="translate(0.5 0.5)">
    <rect x="$near" y="$near" width="$((far - near))" height="$((far - near))" rx="$corner" ry="$corner"
          fill="#c00000" stroke="#400000" stroke-width="$border"/>
    <circle cx="$hole_x" cy="$hole_y" r="$hole_r" fill="#ffffff"/>
    <polygon points="$tri_left,$tri_bottom $apex_x,$apex_y $tri_right,$tri_bottom" fill="#202020"/>
  </g>
</svg>
SVG
