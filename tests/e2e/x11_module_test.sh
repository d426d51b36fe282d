#!/usr/bin/env bash
# vivuvev, the module for a screensaver daemon: it draws on the root window
# with -root, in the window $XSCREENSAVER_WINDOW or -window-id names and in a
# window of its own with -window, leaves input in the daemon's window to the
# daemon, and exits 0 on SIGTERM and SIGINT; it takes every option the
# daemon's modules take, -h and --help print its usage on stdout, a bad
# argument ends it with status 2. The window it draws in, destroyed from
# outside, ends it with status 0.
# Usage: x11_module_test.sh VIVUVEV DESTROY_WINDOW
set -u
module=$1
destroy_window=$2
. "$(dirname "$0")/x11_lib.sh"
start_display 24 640x480

for help in -h --help; do
  "$module" "$help" >"$work/help.out" 2>"$work/help.err"
  status=$?
  [ "$status" -eq 0 ] || fail "$help exited $status"
  grep -q -- '-window-id' "$work/help.out" || fail "$help does not print the usage: $(head -2 "$work/help.out")"
  [ -s "$work/help.err" ] && fail "$help wrote to stderr"
done
"$module" --version >"$work/version.out" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "--version exited $status"
grep -qx 'vivuvev [0-9.]*' "$work/version.out" || fail "--version printed $(head -1 "$work/version.out")"
for bad in "-delay x" "-window-id 0" "-frobnicate" "-display"; do
  # shellcheck disable=SC2086
  "$module" $bad >"$work/bad.out" 2>"$work/bad.err"
  status=$?
  [ "$status" -eq 2 ] || fail "'$bad' exited $status, expected 2"
  head -1 "$work/bad.err" | grep -q '^vivuvev: ' || fail "'$bad' gave no message"
  grep -q '^usage: vivuvev' "$work/bad.err" || fail "'$bad' printed no usage on stderr"
  [ -s "$work/bad.out" ] && fail "'$bad' wrote to stdout"
done

# draws TARGET SIGNAL ENVIRONMENT... -- ARGUMENTS...
draws() {
  local label=$1 signal=$2
  shift 2
  local environment=()
  while [ "$1" != "--" ]; do
    environment+=("$1")
    shift
  done
  shift
  start module env "${environment[@]}" "$module" "$@"
  local pid=$last_pid
  sleep 3
  if ! running "$pid"; then
    fail "$label: vivuvev ended on its own: $(head -3 "$work/module.err")"
    return
  fi
  if [ "$label" != own-window ]; then
    # In the daemon's window keys and the mouse are the daemon's business.
    hold_key Escape
    xdotool mousemove_relative 5 5
    sleep 0.3
    running "$pid" || fail "$label: vivuvev ended on input"
  fi
  shows_rings "$label: the root window" "module-$label"
  kill -s "$signal" "$pid"
  if finished "$pid" 3; then
    [ "$exit_status" -eq 0 ] || fail "$label: exited $exit_status on SIG$signal"
  else
    fail "$label: still runs 3 s after SIG$signal"
  fi
}

draws root TERM -u XSCREENSAVER_WINDOW -- -root
root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
draws daemon-window INT XSCREENSAVER_WINDOW="$root" -- -delay 0
# A window of its own, 800 x 600 at the corner: larger than this screen.
draws own-window TERM -u XSCREENSAVER_WINDOW -- -window -delay 0
draws window-id TERM -u XSCREENSAVER_WINDOW -- -window-id "$root" -delay 5000
# Every option the daemon's modules take, with one dash and two, on a display
# named only by -display.
draws standard-options TERM -u XSCREENSAVER_WINDOW -u DISPLAY -- --root -display "$DISPLAY" -fps -no-fps \
  -visual default -install -noinstall --mono -delay 5000

# The window it draws in destroyed from outside ends it at once with status
# 0. target_window: another client's window to draw in, its id in $target and
# that client's pid in $target_pid.
target_window() {
  start target xmessage -geometry 400x300+0+0 "a window to draw in"
  target_pid=$last_pid
  target=$(find_window 5 --class xmessage) || fail "no xmessage window"
}
# ends_with_window LABEL SECONDS: vivuvev ($pid) ends within SECONDS, status 0.
ends_with_window() {
  if finished "$pid" "$2"; then
    [ "$exit_status" -eq 0 ] || fail "$1: exited $exit_status"
  else
    fail "$1: still runs $2 s later"
  fi
}
# The daemon's window: the daemon ends, and the server destroys its windows.
if target_window; then
  start module env XSCREENSAVER_WINDOW="$target" "$module" -delay 5000
  pid=$last_pid
  sleep 2
  kill "$target_pid"
  ends_with_window "the daemon's window, its maker ended" 3
fi
# A -window-id window that another client destroys after 5000 events of no
# meaning, which reach the module one a frame: its drawing's errors come
# first and end it, long before the DestroyNotify would.
if target_window; then
  start module env -u XSCREENSAVER_WINDOW "$module" -window-id "$target"
  pid=$last_pid
  sleep 2
  "$destroy_window" "$target" 5000 || fail "destroy_window failed"
  ends_with_window "-window-id, destroyed behind 5000 events" 5
fi

# A window that does not exist.
XSCREENSAVER_WINDOW=0x1fffff0 "$module" >/dev/null 2>"$work/nowin.err"
status=$?
[ "$status" -eq 1 ] || fail "a missing window: exit $status, expected 1"
grep -q 'no window' "$work/nowin.err" || fail "a missing window: $(cat "$work/nowin.err")"
report
