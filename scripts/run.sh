#!/usr/bin/env bash
# Builds the native programs and starts standalone on the user's X display;
# Escape ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh native
cmake --preset native >/dev/null
cmake --build --preset native --target standalone saver vivuvev >/dev/null
exec build/native/bin/standalone
