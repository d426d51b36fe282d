#!/usr/bin/env bash
# Builds the page (the animation compiled to WebAssembly) into build/web/page,
# packs it as build/web/vivuvev-web-2.0.zip, and serves it on
# http://localhost:8000 (or the port given) until Ctrl-C.
# Usage: scripts/web.sh [PORT]
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8000}
scripts/install-packages.sh web
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
echo "web.sh: the page is in $PWD/build/web/page, packed as $PWD/build/web/vivuvev-web-2.0.zip"
echo "web.sh: open http://localhost:$port/ (Ctrl-C stops the server)"
exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/page
