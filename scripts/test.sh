#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every test in the
# native, asan and windows presets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh native windows
for preset in native asan windows; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  if [ "$preset" = windows ]; then
    # One wineserver for the whole run: each test then starts in well under
    # a second.
    scripts/wine-prefix.sh build/windows/wineprefix
    export WINEPREFIX=$PWD/build/windows/wineprefix
    wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
    "$wineserver" -p
    trap '"$wineserver" -k || true' EXIT
  fi
  ctest --preset "$preset"
done
