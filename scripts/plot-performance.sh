#!/usr/bin/env bash
# Plots vivuvev-bench's CSV: milliseconds per frame of each phase of the fast
# path, the blit both damage-limited and laying the whole canvas, the memory
# floor and the reference's whole frame, against the screen's size in
# megapixels, one panel per depth.
# Usage: scripts/plot-performance.sh results.csv out.png
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 results.csv out.png" >&2; exit 2; }
csv=$1
out=$2
command -v gnuplot >/dev/null || "$(dirname "$0")/install-packages.sh" plot
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for bits in 32 16; do
  awk -F, -v bits="$bits" 'NR > 1 && $3 == bits' "$csv" | sort -t, -k1,1n > "$work/$bits.csv"
done
gnuplot <<PLOT
set terminal pngcairo size 1200,640 font ",10"
set output "$out"
set datafile separator ","
set multiplot layout 1,2 title "Milliseconds per frame against screen size (vivuvev-bench)"
set logscale y
set format y "%g"
set xlabel "screen size (megapixels)"
set ylabel "ms per frame"
set key below
set grid
mp = "(\$1 * \$2 / 1e6)"
do for [bits in "32 16"] {
  set title bits . " bits"
  data = "$work/" . bits . ".csv"
  plot data using @mp:(1000 / \$4) with linespoints lw 2 title "reference, whole frame", \
       data using @mp:(1000 / \$5) with linespoints lw 2 title "fast path, whole frame", \
       data using @mp:(1000 / \$5 - \$10 + \$12) with linespoints lw 2 dt 3 title "fast path, whole frame, whole-canvas blit", \
       data using @mp:10 with linespoints title "blit, damage-limited", \
       data using @mp:12 with linespoints title "blit, whole canvas", \
       data using @mp:11 with linespoints dt 2 title "memory floor", \
       data using @mp:8 with linespoints title "drawing", \
       data using @mp:9 with linespoints title "write-back", \
       data using @mp:7 with linespoints title "pass set-up"
}
unset multiplot
PLOT
echo "plot-performance: wrote $out"
