#!/usr/bin/env bash
# Draws the tray and application icon: three overlapping colour swatches with a dark outline.
# The outline carries it on light panels, the saturated fills on dark ones. Each size is drawn at 8x and
# scaled down, which keeps the outline about one pixel wide at every size.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 22 24 32 48 64 128 256; do
    s=$((size * 8))
    # Geometry in units of 1/16 of the icon.
    u() { echo $(( $1 * s / 16 )); }
    sw=$(u 10)            # swatch edge
    r=$(u 2)              # corner radius
    line=$(( s / 16 ))    # outline width (one target pixel at 16 px)
    [[ $size -gt 24 ]] && line=$(( s * 3 / 64 ))
    card() { # x y fill
        local x=$1 y=$2 fill=$3
        echo "fill $fill stroke #1d1d1f stroke-width $line roundrectangle $x,$y $((x + sw)),$((y + sw)) $r,$r"
    }
    inset=$(( line / 2 + 1 ))
    convert -size ${s}x${s} xc:none \
        -draw "$(card "$inset" "$inset" '#e5484d')" \
        -draw "$(card "$(u 3)" "$(u 3)" '#f5b82e')" \
        -draw "$(card "$(( s - sw - inset ))" "$(( s - sw - inset ))" '#3b82f6')" \
        -filter Lanczos -resize ${size}x${size} -strip "swatchbar-${size}.png"
done
