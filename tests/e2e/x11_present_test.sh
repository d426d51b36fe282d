#!/usr/bin/env bash
# What the module presents is what its back buffer holds, read back from the
# window with XGetImage after 300 frames at 641 x 479 (the module's test hook
# VIVUVEV_SNAPSHOT writes the back buffer and then holds the picture): in
# 24- and 32-bit windows on a 24-bit display (with MIT-SHM and without), and
# in 16- and 32-bit windows on a 16-bit display. A 32-bit window is opaque; a visual
# the module cannot draw ends it with one line and status 1. The shared
# segment reaches the server as a file descriptor, never by a System V id,
# and a segment that could not be had at first is had later. A window wider
# than a canvas can be is said once, holds no segment, and is drawn in again
# once it shrinks.
# Usage: x11_present_test.sh VIVUVEV X11_TEST_WINDOW FAIL_FIRST_SEGMENT_LIBRARY
set -u
module=$1
test_window=$2
fail_first_segment=$3
. "$(dirname "$0")/x11_lib.sh"

# make_window NAME WIDTHxHEIGHT DEPTH [CLASS]: a window of the helper's; its
# id in $window, the helper's pid in $window_pid.
make_window() {
  local name=$1
  shift
  start "$name" "$test_window" make "$@"
  window_pid=$last_pid
  within 5 test -s "$work/$name.out" || fail "no $* window"
  window=$(head -1 "$work/$name.out")
}

# How many mappings of the server's name PATTERN.
server_maps() { grep -c "$1" "/proc/$xvfb_pid/maps"; }
# The server maps one memfd of the module's (the back buffer).
server_maps_memfd() { [ "$(server_maps 'memfd:vivuvev')" -eq 1 ]; }

# compare LABEL WIDTHxHEIGHT DEPTH [ENVIRONMENT...]: the module in a window of
# that depth, its back buffer after 300 frames against the window's pixels.
compare() {
  local label=$1 size=$2 depth=$3
  shift 3
  make_window "window-$label" "$size" "$depth"
  local snapshot=$work/$label.snapshot
  start "module-$label" env VIVUVEV_SNAPSHOT="300:$snapshot" "$@" "$module" -window-id "$window" -delay 1000
  local pid=$last_pid
  within 30 test -s "$snapshot" || fail "$label: no snapshot after 300 frames: $(head -3 "$work/module-$label.err")"
  "$test_window" read "$window" >"$work/$label.window" 2>"$work/$label.header" || fail "$label: cannot read the window"
  local width height bytes extra full
  read -r width height bytes extra full <"$work/$label.header"
  [ "$width x $height" = "${size/x/ x }" ] || fail "$label: read $width x $height"
  cmp -s "$snapshot" "$work/$label.window" || fail "$label: the window differs from the back buffer ($(cmp "$snapshot" "$work/$label.window" 2>&1 | head -1))"
  [ "$full" -eq $((width * height)) ] || fail "$label: $full of $((width * height)) pixels have every alpha bit ($extra) set"
  # Equal black pictures would prove nothing.
  [ "$(tr -d '\0' <"$snapshot" | wc -c)" -gt $((width * height / 4)) ] || fail "$label: the picture is mostly black"
  kill "$pid"
  finished "$pid" 5 || fail "$label: still runs after SIGTERM"
  [ -s "$work/module-$label.err" ] && fail "$label: wrote to stderr: $(head -3 "$work/module-$label.err")"
  kill "$window_pid"
}

start_display 24 800x600
compare rgb24 641x479 24
compare argb32 641x479 32

# The server maps a memfd of the module's while it draws, and no System V segment.
make_window plain 300x200 24
start module-plain "$module" -window-id "$window" -delay 1000
within 10 server_maps_memfd || fail "the server does not map the module's memfd"
[ "$(server_maps SYSV)" -eq 0 ] || fail "the server maps a System V segment"
kill "$last_pid" "$window_pid"

# The first segment cannot be had (memfd and System V alike): the module draws
# without one, then asks again and has one.
make_window retry 300x200 24
start module-retry env LD_PRELOAD="$fail_first_segment" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" \
  "$module" -window-id "$window" -delay 1000
within 20 server_maps_memfd || fail "no segment after the first could not be had"
kill "$last_pid" "$window_pid"

# A DirectColor window cannot be drawn in.
make_window direct 300x200 24 DirectColor
timeout 20 "$module" -window-id "$window" >"$work/direct.out" 2>"$work/direct.err"
status=$?
[ "$status" -eq 1 ] || fail "a DirectColor window: exit $status, expected 1"
[ "$(wc -l <"$work/direct.err")" -eq 1 ] &&
  grep -q '^vivuvev: cannot draw in a window of depth 24 and a DirectColor visual' "$work/direct.err" ||
  fail "a DirectColor window: $(head -3 "$work/direct.err")"
kill "$window_pid"

# Wider than a canvas can be: said once, no segment held, drawn in again once
# it is narrower.
make_window wide 16385x200 24
start module-wide "$module" -window-id "$window" -delay 1000
wide_pid=$last_pid
within 10 grep -q 'cannot draw in a window of 16385 x 200 pixels' "$work/module-wide.err" || fail "a window 16385 wide: nothing said"
sleep 1
[ "$(grep -c -E 'memfd|SYSV' "/proc/$wide_pid/maps")" -eq 0 ] || fail "a window 16385 wide holds a segment"
xdotool windowsize "$window" 600 200
within 10 server_maps_memfd || fail "no segment once the window is 600 wide"
drawn() { "$test_window" read "$window" 2>/dev/null | tr -d '\0' | wc -c | awk '$1 > 0 { ok = 1 } END { exit !ok }'; }
within 10 drawn || fail "nothing drawn once the window is 600 wide"
[ "$(wc -l <"$work/module-wide.err")" -eq 1 ] || fail "a window 16385 wide: $(cat "$work/module-wide.err")"
kill "$wide_pid" "$window_pid"
stop_xvfb

start_display 24 800x600 -extension MIT-SHM
compare without-shm 641x479 24
stop_xvfb

start_display 16 800x600
compare rgb16 641x479 16
# A 32-bit window on a 16-bit display: the buffer is made for the window.
compare argb32-on-16 641x479 32
report
