#!/usr/bin/env bash
# Measures the page in headless Chromium against the native vivuvev-bench, in
# one run: the page as built (WebAssembly SIMD) and without SIMD
# (build/web-scalar), back to back, and the page as built at 60 frames a
# second. The table it prints goes into docs/performance.md by hand.
# Usage: scripts/bench-web.sh [rounds, default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh native web
cmake --preset native >/dev/null
cmake --build --preset native --target vivuvev-bench >/dev/null
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
cmake --preset web -B build/web-scalar -DVIVUVEV_WEB_SIMD=OFF -DVIVUVEV_TESTS=OFF >/dev/null
cmake --build build/web-scalar -j2 >/dev/null
/usr/bin/python3 tests/web/web_bench.py build/native/bin/vivuvev-bench \
  simd128=build/web/page scalar=build/web-scalar/page --rounds "${1:-3}"
