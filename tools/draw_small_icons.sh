#!/usr/bin/env bash
# Draws the 16, 22 and 24 pixel icons on their pixel grid: the emblem's four signs in whole
# pixels, navy and white only, so that nothing blurs as a scaled-down drawing would. The larger
# sizes come from the SVG. Usage: tools/draw_small_icons.sh [folder], packaging/icons by default.
set -euo pipefail
out=${1:-$(dirname "$0")/../packaging/icons}
navy='#0a1e82'

# draw <size> <sign thickness> <sign length> <dot size>
draw() {
    local n=$1 t=$2 len=$3 dot=$4 q=$(($1 / 2))
    local a=$(((q - len) / 2)) m=$(((q - t) / 2))
    local b=$((a + len - 1)) e=$((m + t - 1))
    local shapes=()
    # +, top left: a bar across and one down, crossing in the middle of the quarter.
    shapes+=("rectangle $a,$m $b,$e" "rectangle $m,$a $e,$b")
    # -, top right.
    shapes+=("rectangle $((q + a)),$m $((q + b)),$e")
    # ×, bottom left: two diagonals, one pixel step at a time.
    local i
    for ((i = 0; i < len; i++)); do
        shapes+=("rectangle $((a + i)),$((q + a + i)) $((a + i + t - 2)),$((q + a + i + t - 2))")
        shapes+=("rectangle $((b - i - t + 2)),$((q + a + i)) $((b - i)),$((q + a + i + t - 2))")
    done
    # ÷, bottom right: the bar with a dot above and below, one pixel of navy between.
    local d=$(((q - dot) / 2))
    shapes+=("rectangle $((q + a)),$((q + m)) $((q + b)),$((q + e))")
    shapes+=("rectangle $((q + d)),$((q + m - 1 - dot)) $((q + d + dot - 1)),$((q + m - 2))")
    shapes+=("rectangle $((q + d)),$((q + e + 2)) $((q + d + dot - 1)),$((q + e + 1 + dot))")
    local args=()
    for shape in "${shapes[@]}"; do args+=(-draw "$shape"); done
    # The corners are cut by one pixel, as the larger sizes round theirs.
    local corners=() c
    for c in "+0+0" "+$((n - 1))+0" "+0+$((n - 1))" "+$((n - 1))+$((n - 1))"; do
        corners+=(-region "1x1$c" -alpha transparent +region)
    done
    convert -size "${n}x$n" "xc:$navy" +antialias -fill white "${args[@]}" -alpha set "${corners[@]}" \
        -define png:exclude-chunks=date,time -strip "PNG32:$out/$n.png"
}

draw 16 2 6 2
draw 22 3 7 3
draw 24 3 8 3
