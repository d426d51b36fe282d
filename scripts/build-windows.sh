#!/usr/bin/env bash
# Builds saver.scr and standalone.exe with MinGW-w64 alone (no tests, no
# Wine) and packs them with the licence and the install notes into
# build/windows-programs/vivuvev-VERSION-windows-x64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh mingw
cmake --preset windows-programs >/dev/null
cmake --build --preset windows-programs
cd build/windows-programs
cpack -G ZIP
