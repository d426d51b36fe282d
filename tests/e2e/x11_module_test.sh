#!/usr/bin/env bash
# vivuvev, the module for a screensaver daemon: it draws on the root window
# with -root, in the window $XSCREENSAVER_WINDOW or -window-id names and in a
# window of its own with -window, leaves input in the daemon's window to the
# daemon, and exits 0 on SIGTERM and SIGINT; it takes every option the
# daemon's modules take, -h and --help print its usage on stdout, a bad
# argument ends it with status 2. Usage: x11_module_test.sh VIVUVEV
set -u
module=$1
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

# A window that does not exist.
XSCREENSAVER_WINDOW=0x1fffff0 "$module" >/dev/null 2>"$work/nowin.err"
status=$?
[ "$status" -eq 1 ] || fail "a missing window: exit $status, expected 1"
grep -q 'no window' "$work/nowin.err" || fail "a missing window: $(cat "$work/nowin.err")"
report
