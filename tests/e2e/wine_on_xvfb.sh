#!/usr/bin/env bash
# Runs a Windows test program under Wine on a private Xvfb with a Wine prefix
# of its own, and ends both afterwards.
# Usage: wine_on_xvfb.sh WxHxDEPTH WINE program [args...]
set -u
here=$(dirname "$0")
. "$here/xvfb.sh"
. "$here/private_wine.sh"
work=$(mktemp -d)
trap 'end_private_wine; stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$1" || exit 1
shift
use_private_wine_prefix "$work/prefix"
"$@"
