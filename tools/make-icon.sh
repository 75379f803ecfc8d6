#!/usr/bin/env bash
# Draws the application icon (a red window with a cut-out corner on a white ground) with
# ImageMagick and writes the 32 x 32 and 16 x 16 images and the larger theme sizes to resources/.
set -euo pipefail
out="$(cd "$(dirname "$0")/../resources" && pwd)/icons"
mkdir -p "$out"
for size in 16 32 48 64 128 256; do
    s=$size
    convert -size ${s}x${s} xc:none \
        -fill '#c00000' -stroke '#400000' -strokewidth $(( s / 16 > 0 ? s / 16 : 1 )) \
        -draw "roundrectangle $((s/16)),$((s/16)) $((s - 1 - s/16)),$((s - 1 - s/16)) $((s/4)),$((s/4))" \
        -fill '#ffffff' -stroke none \
        -draw "ellipse $((s*11/16)),$((s*5/16)) $((s/6)),$((s/6)) 0,360" \
        -fill '#202020' \
        -draw "polygon $((s/4)),$((s*3/4)) $((s/2)),$((s*7/16)) $((s*3/4)),$((s*3/4))" \
        -define png:color-type=6 "$out/zarnik-$s.png"
done
