#!/usr/bin/env bash
# Creates a quiet, private Wine prefix once (about 15 seconds), so that test
# runs neither wait for it nor show dialogs.
set -euo pipefail
prefix=$1
[ -f "$prefix/system.reg" ] && exit 0
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
export WINEPREFIX=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot -i >/dev/null 2>&1 || true
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
"$wineserver" -w
