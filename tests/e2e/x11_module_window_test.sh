#!/usr/bin/env bash
# vivuvev in a window of its own, as a user runs it: it follows the window's
# size (grown, shrunk, a storm of sizes, down to 1x1 and back), shows the
# frame rate with -fps and not without, and the close request, q, Q and
# Escape (held, or tapped faster than a frame) end it with status 0, the close
# request and a tap also through a window manager (openbox); so does the
# window's destruction by another program. The window says whose it is.
# Usage: x11_module_window_test.sh VIVUVEV SEND_CLOSE_REQUEST
set -u
module=$1
close_request=$2
. "$(dirname "$0")/x11_lib.sh"
start_display 24 1280x1024

# own_window NAME ARGUMENTS...: starts vivuvev -window; its pid in $module_pid
# and its window in $module_window.
own_window() {
  local name=$1
  shift
  start "$name" env -u XSCREENSAVER_WINDOW "$module" -window "$@"
  module_pid=$last_pid
  module_window=$(find_window 5 --class vivuvev) || {
    fail "$name: no window: $(head -3 "$work/$name.err")"
    return 1
  }
}

# white_pixels SHOT GEOMETRY: pure white pixels there (the frame-rate text).
white_pixels() {
  convert "$1" -crop "$2" +repage -fill black +opaque white -fill white -opaque white \
    -format '%[fx:mean*w*h]' info: | awk '{ printf "%d\n", $1 + 0.5 }'
}

# ends LABEL SECONDS: vivuvev ends within SECONDS with status 0.
ends() {
  if finished "$module_pid" "$2"; then
    [ "$exit_status" -eq 0 ] || fail "$1: exited $exit_status"
  else
    fail "$1: still runs after $2 s"
    kill "$module_pid"
  fi
}

# grown_shot: keep_shot module-grown; succeeds when the area a window grown
# from 800 x 600 to 1000 x 740 gained shows rings, right of 800 and below 600.
grown_shot() {
  keep_shot module-grown
  right=$(colours "$work/module-grown.png" 200x740+800+0)
  bottom=$(colours "$work/module-grown.png" 1000x140+0+600)
  [ "$right" -ge 20 ] && [ "$bottom" -ge 20 ]
}

# Grown from 800 x 600 to 1000 x 740: rings in the new area. A cycle's rings
# reach only so far from their centres, so the new area may wait for a later
# cycle.
if own_window grow -delay 0; then
  names_itself "its own window" "$module_window" "$module_pid" vivuvev
  sleep 1
  xdotool windowsize "$module_window" 1000 740
  within 15 grown_shot || fail "grown: $right colours right of 800 and $bottom below 600"
  # Without -fps there is no text.
  [ "$(white_pixels "$work/module-grown.png" 240x40+0+700)" -eq 0 ] || fail "white text without -fps"

  # Shrunk to 400 x 300: the picture is drawn for that size, all of it.
  xdotool windowsize "$module_window" 400 300
  sleep 1
  shows_rings "shrunk to 400 x 300" module-shrunk 400x300+0+0

  # A storm: 50 sizes in 2 s, 1 x 1 among them, then 1 x 1 and 900 x 700,
  # larger than the window it started as.
  for i in $(seq 1 50); do
    case $((i % 5)) in
      0) xdotool windowsize "$module_window" 1 1 ;;
      *) xdotool windowsize "$module_window" $((100 + i * 17)) $((80 + i * 11)) ;;
    esac
    sleep 0.04
  done
  xdotool windowsize "$module_window" 1 1
  sleep 0.5
  running "$module_pid" || fail "storm: vivuvev ended at 1 x 1: $(head -3 "$work/grow.err")"
  xdotool windowsize "$module_window" 900 700
  shows_rings "after the storm, at 900 x 700" module-after-storm 900x700+0+0

  "$close_request" "$module_window" || fail "could not send a close request"
  ends "close request" 3
fi

# rate_shot: keep_shot module-fps; succeeds when a 640 x 480 window shows the
# rate in its bottom-left corner.
rate_shot() {
  keep_shot module-fps
  text=$(white_pixels "$work/module-fps.png" 240x40+0+440)
  [ "$text" -ge 30 ]
}

# -fps: the rate in the bottom-left corner, white over the rings.
if own_window fps -fps -delay 5000; then
  xdotool windowsize "$module_window" 640 480
  sleep 1
  within 10 rate_shot || fail "-fps: only $text white pixels where the rate is shown"
  kill -s TERM "$module_pid"
  ends "-fps, SIGTERM" 3
fi

# The keys of a hack in its own window. Without a window manager the keys
# go to the window under the pointer.
for key in q shift+q Escape; do
  own_window "key-$key" || continue
  sleep 1
  xdotool mousemove 300 300
  hold_key "$key"
  ends "key $key" 3
done

# A tap: pressed and released at once, between two frames. The keys of its
# own window come as events, so no tap is missed.
for key in q shift+q Escape; do
  own_window "tap-$key" || continue
  sleep 1
  xdotool mousemove 300 300
  xdotool key --delay 0 "$key"
  ends "a tap of $key" 3
done

# Another program destroys its window: nothing is left to draw in or to take
# a key, so it ends.
if own_window destroyed; then
  sleep 1
  xdotool windowclose "$module_window"
  ends "its window destroyed" 3
  grep -q . "$work/destroyed.err" && fail "its window destroyed: $(head -2 "$work/destroyed.err")"
fi

# Under a window manager its close button sends the request (a window that
# takes none would be killed, which breaks the program's X connection).
start openbox openbox
sleep 1
if own_window managed; then
  sleep 1
  "$close_request" --via-window-manager "$module_window" || fail "could not ask openbox to close"
  ends "openbox's close" 3
  grep -q . "$work/managed.err" && fail "openbox's close: $(head -2 "$work/managed.err")"
fi
# openbox puts the window in a frame of its own and gives it the focus: the
# keys still reach it there.
if own_window managed-key; then
  sleep 1
  xdotool windowfocus --sync "$module_window" 2>/dev/null
  hold_key Escape
  ends "Escape under openbox" 3
fi
if own_window managed-tap; then
  sleep 1
  xdotool windowfocus --sync "$module_window" 2>/dev/null
  xdotool key --delay 0 q
  ends "a tap of q under openbox" 3
fi
report
