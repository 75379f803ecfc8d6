#!/usr/bin/env bash
# Makes the preview window's picture with ImageMagick: a 400 x 400 red texture shaded along the
# diagonal, with faint embossed lettering running diagonally across it, written as an opaque
# baseline JPEG to resources/preview.jpg. The noise is seeded, so a run gives the same picture.
set -euo pipefail
out="$(cd "$(dirname "$0")/../resources" && pwd)/preview.jpg"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

size=400
font=DejaVu-Sans-Bold
convert -list font | grep -q "Font: $font\$" || font=Helvetica-Bold

# Light in the top-left corner, dark in the bottom-right one.
convert -size ${size}x${size} -define gradient:direction=SouthEast \
    gradient:'#e02418'-'#700404' "$work/shade.png"

# A grainy, cloudy grey that gives the red its texture.
convert -size ${size}x${size} -seed 1998 plasma:grey50-grey50 -colorspace Gray \
    -blur 0x1.2 -auto-level -level 30%,70% "$work/grain.png"

# The lettering, turned along the diagonal and embossed: lit from the top left, grey where flat.
convert -size ${size}x${size} xc:black -font "$font" -pointsize 38 -fill white \
    -gravity center -draw "rotate -45 text 0,-120 'Zarnik' text 0,0 'Zarnik' text 0,120 'Zarnik'" \
    -blur 0x1 -shade 135x30 -auto-level -level 20%,80% \
    -fill grey50 -colorize 55% "$work/letters.png"

convert "$work/shade.png" \
    \( "$work/grain.png" -fill grey50 -colorize 55% \) -compose Overlay -composite \
    "$work/letters.png" -compose Overlay -composite \
    -alpha off -colorspace sRGB -type TrueColor -depth 8 -sampling-factor 2x2 \
    -interlace none -quality 88 -strip "$out"

identify "$out"
