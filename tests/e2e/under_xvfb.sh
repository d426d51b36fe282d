#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb, which it ends afterwards.
# Usage: under_xvfb.sh WxHxDEPTH command [args...]
set -u
. "$(dirname "$0")/xvfb.sh"
trap stop_xvfb EXIT
start_xvfb "$1" || exit 1
shift
"$@"
