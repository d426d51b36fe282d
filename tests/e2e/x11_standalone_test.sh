#!/usr/bin/env bash
# standalone on a private X display of the given depth: it covers the screen
# with rings, ignores the mouse and every key but Escape, and ends on Escape
# with status 0, also once its window has been put into another (as a window
# manager's frame would hold it). A close request leaves its window open; its
# window says whose it is; when another program destroys it, standalone ends
# at once with status 0.
# Usage: x11_standalone_test.sh STANDALONE SEND_CLOSE_REQUEST X11_TEST_WINDOW DEPTH [Xvfb options...]
set -u
standalone=$1
close_request=$2
test_window=$3
depth=$4
shift 4
. "$(dirname "$0")/x11_lib.sh"
start_display "$depth" 640x480 "$@"

start standalone "$standalone" /c ignored arguments
pid=$last_pid
window=$(animation_window 5) || fail "no window of standalone appeared"
names_itself "standalone's window" "$window" "$pid" ""

xdotool mousemove_relative 1 0
xdotool mousemove 10 10
hold_key a
hold_key space
hold_key Return
sleep 0.5
running "$pid" || fail "standalone ended on the mouse or a key other than Escape"

# Sticky without a window manager: a window mapped later does not stay above
# the animation. xwininfo lists the root's children top-most first.
start xmessage xmessage -geometry +20+20 "a window mapped later"
sleep 0.7
top=$(xwininfo -root -children | awk '/^ +0x/ { print $1; exit }')
[ "$((top))" -eq "$((window))" ] || fail "another window stays above the animation ($top, not $(printf '0x%x' "$window"))"
kill "$last_pid"

# Alt+F4's counterpart: only reported, never obeyed.
"$close_request" "$window" || fail "could not send a close request"
sleep 0.5
running "$pid" || fail "standalone ended on a close request"
xdotool search --onlyvisible --class vivuvev >/dev/null || fail "a close request closed the window"

# The rings soon sweep the whole screen (a cycle at 640 x 480 is 400 frames).
shows_rings "the rings do not cover the screen" "standalone-$depth"

# Reparented into a frame, which is now the top-level window under the
# pointer that the keys go to (without a window manager the focus follows the
# pointer).
start frame "$test_window" frame "$window"
within 5 test -s "$work/frame.out" || fail "the window could not be put into a frame"
xdotool mousemove 100 100
sleep 0.5
running "$pid" || fail "standalone ended when its window was put into a frame"

hold_key Escape
if finished "$pid" 2; then
  [ "$exit_status" -eq 0 ] || fail "standalone exited $exit_status after Escape"
else
  fail "standalone still runs 2 s after Escape"
fi
[ -s "$work/standalone.err" ] && fail "standalone wrote to stderr: $(head -3 "$work/standalone.err")"

# Its window destroyed by another program: nothing is left to show the rings
# or take Escape, so it ends, with status 0 and nothing to say.
start destroyed "$standalone"
pid=$last_pid
if window=$(animation_window 5); then
  sleep 0.5
  xdotool windowclose "$window"
  if finished "$pid" 2; then
    [ "$exit_status" -eq 0 ] || fail "standalone exited $exit_status when its window was destroyed"
  else
    fail "standalone still runs 2 s after its window was destroyed"
  fi
  [ -s "$work/destroyed.err" ] && fail "standalone wrote: $(head -3 "$work/destroyed.err")"
else
  fail "no window of the second standalone appeared"
fi
report
