#!/usr/bin/env bash
# With no X display to open, the animation could never be shown or ended:
# saver /s, saver /c and standalone print one line naming the display they
# tried and exit 1 at once. saver with nothing to show still ends with 0.
# Usage: x11_no_display_test.sh SAVER STANDALONE
set -u
saver=$1
standalone=$2
. "$(dirname "$0")/x11_lib.sh"

# A display number above the tests' servers (41-79) with no server behind it.
nowhere=
for n in $(seq 99 -1 80); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    nowhere=":$n"
    break
  fi
done
[ -n "$nowhere" ] || { echo "no unused display number" >&2; exit 1; }

# mends LABEL DISPLAY EXPECTED PROGRAM...: DISPLAY empty for an unset one, "-"
# for one set to nothing.
mends() {
  local label=$1 display=$2 expected=$3
  shift 3
  if [ "$display" = - ]; then
    start mend env DISPLAY= "$@"
  elif [ -n "$display" ]; then
    start mend env DISPLAY="$display" "$@"
  else
    start mend env -u DISPLAY "$@"
  fi
  if ! finished "$last_pid" 5; then
    fail "$label: still runs 5 s without a display"
    return
  fi
  [ "$exit_status" -eq 1 ] || fail "$label: exit $exit_status, expected 1"
  local lines
  lines=$(wc -l <"$work/mend.err")
  [ "$lines" -eq 1 ] || fail "$label: $lines lines on stderr: $(cat "$work/mend.err")"
  grep -q -- "$expected" "$work/mend.err" || fail "$label: the message does not name $expected: $(cat "$work/mend.err")"
  grep -q "^$(basename "$1"): " "$work/mend.err" || fail "$label: the message does not name the program"
}

mends "saver /s" "$nowhere" "'$nowhere'" "$saver" /s
mends "saver /c" "$nowhere" "'$nowhere'" "$saver" /c
mends "standalone" "$nowhere" "'$nowhere'" "$standalone"
mends "standalone, DISPLAY unset" "" "cannot open a display, as none is named" "$standalone"
mends "saver /s, DISPLAY empty" "-" "cannot open a display, as none is named" "$saver" /s

# Nothing to show: no display is needed, the end is the usual one.
env DISPLAY="$nowhere" "$saver" /p 1234 >"$work/p.out" 2>"$work/p.err"
status=$?
[ "$status" -eq 0 ] || fail "saver /p without a display: exit $status, expected 0"
[ -s "$work/p.err" ] && fail "saver /p without a display wrote: $(cat "$work/p.err")"
report
