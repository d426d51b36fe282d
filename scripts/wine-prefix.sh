#!/usr/bin/env bash
# Creates a quiet, private Wine prefix once (about 15 seconds), so that test
# runs neither wait for it nor show dialogs.
#
# The tests' X servers have no window manager, so the prefix tells Wine's X11
# driver not to hand windows to one ("Managed" = N); otherwise Wine waits two
# seconds for a window manager at every window it hides or destroys.
set -euo pipefail
prefix=$1
if [ -f "$prefix/system.reg" ] && grep -q '"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
  exit 0
fi
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
export WINEPREFIX=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot -i >/dev/null 2>&1 || true
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
"$wineserver" -w
