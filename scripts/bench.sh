#!/usr/bin/env bash
# Measures the software path with vivuvev-bench and plots the result:
# docs/performance.csv and docs/performance.png. The table it prints goes
# into docs/performance.md by hand.
# Usage: scripts/bench.sh [seconds per measurement, default 2]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh native plot
cmake --preset native >/dev/null
cmake --build --preset native --target vivuvev-bench
build/native/bin/vivuvev-bench --seconds "${1:-2}" --csv docs/performance.csv
scripts/plot-performance.sh docs/performance.csv docs/performance.png
