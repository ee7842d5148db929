#!/usr/bin/env bash
# The small icons are drawn on their pixel grid: their size, and nothing but the emblem's navy,
# white and the cut corners (a scaled-down drawing blurs into dozens of shades).
set -euo pipefail
icons=$1
for n in 16 22 24; do
    read -r size colours <<<"$(convert "$icons/$n.png" -format '%wx%h %k' info:)"
    [[ "$size" == "${n}x$n" ]] || { echo "FAIL: $n.png is $size" >&2; exit 1; }
    ((colours <= 3)) || { echo "FAIL: $n.png has $colours colours" >&2; exit 1; }
done
echo "PASS: small icons"
