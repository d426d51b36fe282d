#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every test in the
# native, web, asan, fuzz and windows presets (web after native: its browser
# tests hold the page to the native vivuvev-render).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh native fuzz windows web
for preset in native web asan fuzz windows; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  if [ "$preset" = windows ]; then
    # One wineserver for the whole run, so that each test starts in well
    # under a second. Its background services are started here, away from
    # ctest: started by a test, they would hold that test's output pipe open.
    scripts/wine-prefix.sh build/windows/wineprefix
    export WINEPREFIX=$PWD/build/windows/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
    wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
    "$wineserver" -p || true  # fails only when a server is already up
    trap '"$wineserver" -k || true' EXIT
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
  fi
  ctest --preset "$preset" -j2
done
