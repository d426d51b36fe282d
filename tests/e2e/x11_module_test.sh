#!/usr/bin/env bash
# vivuvev, the module for a screensaver daemon: it draws on the root window
# with -root, in the window $XSCREENSAVER_WINDOW or -window-id names and in a
# window of its own with -window, leaves input to the
# daemon, and exits 0 on SIGTERM and SIGINT; -h prints its usage, a bad
# argument ends it with status 2. Usage: x11_module_test.sh VIVUVEV
set -u
module=$1
. "$(dirname "$0")/x11_lib.sh"
start_display 24 640x480

"$module" -h >"$work/help.out" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "-h exited $status"
grep -q -- '-window-id' "$work/help.out" || fail "-h does not print the usage: $(head -2 "$work/help.out")"
for bad in "-delay x" "-window-id 0" "-frobnicate"; do
  # shellcheck disable=SC2086
  "$module" $bad >/dev/null 2>"$work/bad.err"
  status=$?
  [ "$status" -eq 2 ] || fail "'$bad' exited $status, expected 2"
  grep -q '^vivuvev: ' "$work/bad.err" || fail "'$bad' gave no message"
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
  # Keys and the mouse are the daemon's business.
  hold_key Escape
  xdotool mousemove_relative 5 5
  sleep 0.3
  running "$pid" || fail "$label: vivuvev ended on input"
  local shot=$work/module-$label.png
  screenshot "$shot"
  cp "$shot" "${VIVUVEV_SHOTS:-$work}/" 2>/dev/null
  local n black
  n=$(colours "$shot")
  [ "$n" -ge 20 ] || fail "$label: only $n colours on the root window"
  black=$(black_tiles "$shot")
  [ "$black" -eq 0 ] || fail "$label: $black of 16 tiles of the root window are black"
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

# A window that does not exist.
XSCREENSAVER_WINDOW=0x1fffff0 "$module" >/dev/null 2>"$work/nowin.err"
status=$?
[ "$status" -eq 1 ] || fail "a missing window: exit $status, expected 1"
grep -q 'no window' "$work/nowin.err" || fail "a missing window: $(cat "$work/nowin.err")"
report
