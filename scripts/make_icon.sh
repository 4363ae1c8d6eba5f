#!/usr/bin/env bash
# Draws the program's icon, a page with a large "T", at each size Windows asks for (16, 24, 32,
# 48 and 256 pixels) and packs the sizes into app/tarnwick.ico. Run by hand after a change of
# the drawing; the icon itself is kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sizes=(16 24 32 48 256)
for s in "${sizes[@]}"; do
    awk -v s="$s" 'BEGIN {
        stroke = s < 32 ? 1 : s / 24
        printf "stroke #3b4657 stroke-width %f fill #f5f2e7 roundrectangle %f,%f %f,%f %f,%f ",
            stroke, 0.14*s, 0.03*s, 0.86*s - 1, 0.97*s - 1, 0.1*s, 0.1*s
        printf "stroke none fill #1f5f8b rectangle %f,%f %f,%f rectangle %f,%f %f,%f ",
            0.27*s, 0.2*s, 0.73*s - 1, 0.32*s - 1, 0.43*s, 0.2*s, 0.57*s - 1, 0.8*s - 1
        printf "fill #8fa3b8 rectangle %f,%f %f,%f\n", 0.24*s, 0.86*s, 0.76*s - 1, 0.89*s - 1
    }' >"$work/draw-$s.txt"
    convert -size "${s}x${s}" xc:none -draw "$(cat "$work/draw-$s.txt")" "PNG32:$work/icon-$s.png"
done
convert $(for s in "${sizes[@]}"; do echo "$work/icon-$s.png"; done) app/tarnwick.ico
