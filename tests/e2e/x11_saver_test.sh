#!/usr/bin/env bash
# saver on a private X display of the given depth: every row of its
# command-line table, the end of the animation within a second of a one-pixel
# mouse move or of a held key or at once when another program destroys its
# window, and the about box, closed with Return, Escape or a click on OK, or
# the window manager's close request. Every run must exit with status 0, and
# every window says whose it is.
# Usage: x11_saver_test.sh SAVER SEND_CLOSE_REQUEST DEPTH
set -u
saver=$1
close_request=$2
depth=$3
. "$(dirname "$0")/x11_lib.sh"
start_display "$depth" 640x480

# Arguments that end saver at once, with no window: the mode letter is the
# second character, in either case, and only "s" and "c" select something.
for args in "/p 1234" "/P 1234" "" "s" "S" "/x"; do
  # shellcheck disable=SC2086
  start quick "$saver" $args
  if finished "$last_pid" 3; then
    [ "$exit_status" -eq 0 ] || fail "saver '$args' exited $exit_status"
  else
    fail "saver '$args' did not end at once"
  fi
  xdotool search --onlyvisible --class vivuvev >/dev/null 2>&1 && fail "saver '$args' left a window"
done

# The animation: "/s", "-sfoo" and "/S". It must not end on its own, then ends
# within a second of the input.
animation() {
  local args=$1 how=$2
  xdotool mousemove 320 240
  # shellcheck disable=SC2086
  start anim "$saver" $args
  local pid=$last_pid
  if ! animation_window 5 >/dev/null; then
    fail "saver '$args': no animation window"
    return
  fi
  sleep 1
  if ! running "$pid"; then
    fail "saver '$args' ended without input"
    return
  fi
  case "$how" in
    move-x) xdotool mousemove_relative 1 0 ;;
    move-y) xdotool mousemove_relative -- 0 -1 ;;
    key) xdotool keydown b; sleep 0.2; xdotool keyup b ;;
  esac
  if finished "$pid" 1; then
    [ "$exit_status" -eq 0 ] || fail "saver '$args' exited $exit_status after $how"
  else
    fail "saver '$args' still runs 1 s after $how"
    finished "$pid" 5 || true
  fi
}
animation /s move-x
animation /s move-y
animation /s key
animation -sfoo move-x
animation /S move-x

# Its window destroyed by another program: saver ends at once with status 0.
start destroyed "$saver" /s
pid=$last_pid
if window=$(animation_window 5); then
  names_itself "saver's window" "$window" "$pid" ""
  xdotool windowclose "$window"
  if finished "$pid" 2; then
    [ "$exit_status" -eq 0 ] || fail "saver /s exited $exit_status when its window was destroyed"
  else
    fail "saver /s still runs 2 s after its window was destroyed"
  fi
else
  fail "saver /s: no animation window"
fi

# The about box: "/c", "/c:1234", "/c 1234" and "-C", closed in each of four ways.
about() {
  local args=$1 how=$2
  # shellcheck disable=SC2086
  start about "$saver" $args
  local pid=$last_pid id
  if ! id=$(window_named '^Vivuvev V2\.0$' 5); then
    fail "saver '$args': no window titled Vivuvev V2.0 ($(running "$pid" && echo running || echo ended); $(head -3 "$work/about.err"))"
    return
  fi
  sleep 0.3
  running "$pid" || fail "saver '$args' ended before the box was closed"
  names_itself "the about box" "$id" "$pid" "Vivuvev V2.0"
  case "$how" in
    Return | Escape) xdotool key "$how" ;;
    close-request) "$close_request" "$id" ;;
    click)
      # The OK button is centred at the bottom of the box, a margin above its
      # lower edge.
      eval "$(xdotool getwindowgeometry --shell "$id")"
      xdotool mousemove --window "$id" $((WIDTH / 2)) $((HEIGHT - 16 - 14))
      xdotool click 1
      ;;
  esac
  if finished "$pid" 2; then
    [ "$exit_status" -eq 0 ] || fail "saver '$args' exited $exit_status after $how"
  else
    fail "the about box of saver '$args' did not close on $how"
  fi
}
about /c Return
about /c:1234 Escape
about "/c 1234" click
about /c close-request
about -C Return

report
