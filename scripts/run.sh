#!/usr/bin/env bash
# Builds vivuvev-render and renders a short animation to PNG frames.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh native
cmake --preset native >/dev/null
cmake --build --preset native --target vivuvev-render >/dev/null
out=${1:-frames}
build/native/bin/vivuvev-render --size 1280x720 --frames 1200 --every 300 --out "$out"
echo "Frames are in $(cd "$out" && pwd)"
