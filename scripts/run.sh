#!/usr/bin/env bash
# Builds the native programs and starts standalone on the user's X display;
# Escape ends it. Without a display it renders a clip of the animation
# instead and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh native
cmake --preset native >/dev/null
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cmake --build --preset native --target standalone saver vivuvev >/dev/null
  exec build/native/bin/standalone
fi
clip=build/native/vivuvev.mp4
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no X display (\$DISPLAY is not set); rendering ten seconds of the animation into $clip instead" >&2
else
  echo "run.sh: cannot open the X display '$DISPLAY'; rendering ten seconds of the animation into $clip instead" >&2
fi
cmake --build --preset native --target vivuvev-render >/dev/null
build/native/bin/vivuvev-render --size 1280x720 --frames 600 --video "$clip" >/dev/null
echo "run.sh: the animation is in $PWD/$clip"
