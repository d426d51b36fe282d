#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Usage: scripts/install-packages.sh [native|fuzz|windows|mingw|web|plot]...   (default: native and windows)
# mingw is the cross compiler alone, for the Windows programs without their tests.
set -euo pipefail
sets=("$@")
[ ${#sets[@]} -gt 0 ] || sets=(native windows)
packages=()
for set in "${sets[@]}"; do
  case "$set" in
    native) packages+=(cmake make g++ pkg-config libgtest-dev libpng-dev file dpkg-dev lintian python3
                       libx11-dev libx11-xcb-dev libxcb-shm0-dev libxext-dev libxrandr-dev xvfb xdotool imagemagick x11-utils
                       libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libwebp-dev
                       valgrind xscreensaver openbox) ;;
    # clang with libFuzzer and the sanitizers' runtimes.
    fuzz) packages+=(cmake make clang libclang-rt-14-dev) ;;
    mingw) packages+=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix) ;;
    windows) packages+=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix googletest
                        wine64 xvfb xdotool imagemagick x11-utils) ;;
    # Emscripten for the page; headless Chromium, driven from Debian's Python
    # through python3-websocket, and ImageMagick's convert for its tests.
    web) packages+=(cmake make emscripten chromium-headless-shell python3-websocket imagemagick) ;;
    plot) packages+=(gnuplot-nox) ;;
    *) echo "install-packages: unknown set '$set'" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
