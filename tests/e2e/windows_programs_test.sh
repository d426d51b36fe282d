#!/usr/bin/env bash
# End-to-end checks of saver.scr and standalone.exe under Wine on private
# Xvfb screens, driven by xdotool: every row of saver's command-line table,
# the stop conditions of both programs, screenshots of the animation at 32
# and 16 bits per pixel, and runs without Direct3D and without DirectInput.
#
# One row of the table cannot be run here: Wine's CreateProcess quotes a
# program path with spaces before the program sees its command line, so an
# unquoted path never reaches GetCommandLineA; the tokenizer's tests cover it.
# Usage: windows_programs_test.sh WINE SAVER STANDALONE SHOTS_DIR
set -u
wine=$1 saver=$2 standalone=$3 shots=$4
. "$(dirname "$0")/xvfb.sh"
. "$(dirname "$0")/private_wine.sh"
work=$(mktemp -d)
program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then kill "$program_pid"; fi
  end_private_wine
  stop_xvfb
  if [ "$failures" -gt 0 ] && [ -s "$work/wine.log" ]; then
    echo "--- the programs' last messages"
    tail -20 "$work/wine.log"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0 passes=0
mkdir -p "$shots"
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }
base_overrides=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# start PROGRAM ARGS...: runs it under Wine in the background. Wine's start
# waits for the program and exits with its Windows exit code: a loaded
# machine can make Wine end a program's already exited process with SIGKILL,
# which would show as 137 where the program said 0.
start() {
  local program=$1
  shift
  "$wine" start /wait /unix "$program" "$@" >>"$work/wine.log" 2>&1 &
  program_pid=$!
}

# ends_within SECONDS: waits for the program; status 0 and exit_code set when
# it ended in time.
ends_within() {
  local limit=$(( $1 * 10 )) i
  for ((i = 0; i < limit; i++)); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$program_pid" 2>/dev/null; then return 1; fi
  wait "$program_pid"
  exit_code=$?
  program_pid=""
  return 0
}

# stop_program: ends a program that was meant to keep running.
stop_program() {
  kill "$program_pid" 2>/dev/null
  wait "$program_pid" 2>/dev/null
  program_pid=""
}

visible_windows() { xdotool search --onlyvisible --class '.' 2>/dev/null | wc -l; }

hold_key() {  # hold_key KEY: long enough for a polled keyboard to see it
  xdotool keydown "$1"
  sleep 0.25
  xdotool keyup "$1"
}

# ends_at_once NAME ARGS...: the program ends within a few seconds with exit
# code 0 and never maps a window.
ends_at_once() {
  local name=$1 mapped=0 i
  shift
  start "$saver" "$@"
  for ((i = 0; i < 100; i++)); do
    kill -0 "$program_pid" 2>/dev/null || break
    [ "$(visible_windows)" -eq 0 ] || mapped=1
    sleep 0.05
  done
  if ! ends_within 1; then
    fail "$name: still running"
    stop_program
    return
  fi
  [ "$exit_code" -eq 0 ] || fail "$name: exit code $exit_code"
  [ "$mapped" -eq 0 ] || fail "$name: a window was mapped"
  [ "$exit_code" -eq 0 ] && [ "$mapped" -eq 0 ] && pass
}

# about_box NAME ARGS...: the box titled "Vivuvev V2.0" appears, Return closes
# it, and the program ends with 0.
about_box() {
  local name=$1 box="" i
  shift
  start "$saver" "$@"
  for ((i = 0; i < 100; i++)); do
    box=$(xdotool search --onlyvisible --name '^Vivuvev V2\.0$' 2>/dev/null | head -1)
    [ -n "$box" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$box" ]; then
    fail "$name: no about box"
    stop_program
    return
  fi
  if ends_within 1; then
    fail "$name: ended before the box was closed"
    return
  fi
  xdotool windowfocus "$box" 2>/dev/null
  sleep 0.2
  xdotool key Return
  if ! ends_within 5; then
    fail "$name: did not end after Return"
    stop_program
    return
  fi
  [ "$exit_code" -eq 0 ] && pass || fail "$name: exit code $exit_code"
}

# shows_rings NAME FILE MIN_COLOURS COVERED: the screen holds rings: at least
# MIN_COLOURS distinct colours, and its commonest colour is not the light grey
# of an undrawn window's button face. COVERED 1: nor does one colour fill half
# of the screen, as black does before the rings reach it.
shows_rings() {
  local name=$1 file=$2 least=$3 covered=$4 colours top total grey
  import -window root "$file" 2>/dev/null || { fail "$name: no screenshot"; return; }
  colours=$(convert "$file" -format '%k' info:)
  total=$(convert "$file" -format '%[fx:w*h]' info:)
  top=$(commonest "$file")
  grey=0
  is_light_grey "$(commonest_colour "$file")" && grey=1
  if [ "$colours" -ge "$least" ] && [ "$grey" -eq 0 ] && { [ "$covered" -eq 0 ] || [ $((top * 2)) -lt "$total" ]; }; then
    pass
  else
    fail "$name: $colours colours, the commonest ($(commonest_colour "$file")) on $top of $total pixels ($file)"
  fi
}

commonest() { convert "$1" -format '%c' histogram:info:- | sort -rn | head -1 | sed -E 's/^ *([0-9]+):.*/\1/'; }
# The commonest colour as "r,g,b".
commonest_colour() {
  convert "$1" -format '%c' histogram:info:- | sort -rn | head -1 |
    sed -E 's/^ *[0-9]+: *\( *([0-9.]+) *, *([0-9.]+) *, *([0-9.]+).*/\1,\2,\3/'
}
is_light_grey() {
  local r g b
  IFS=, read -r r g b <<<"$1"
  r=${r%.*} g=${g%.*} b=${b%.*}
  [ "$r" -ge 150 ] && [ $((r - g)) -le 8 ] && [ $((g - r)) -le 8 ] && [ $((r - b)) -le 8 ] && [ $((b - r)) -le 8 ]
}

# wait_until_covered FILE SECONDS: screenshots until no colour fills half of
# the screen, or the time is up.
wait_until_covered() {
  local file=$1 limit=$2 waited=0 total
  while [ "$waited" -lt "$limit" ]; do
    import -window root "$file" 2>/dev/null
    total=$(convert "$file" -format '%[fx:w*h]' info:)
    [ $(($(commonest "$file") * 2)) -lt "$total" ] && return
    sleep 2
    waited=$((waited + 2))
  done
}

# animates NAME ARGS...: starts saver or standalone, waits for the window.
animates() {
  local name=$1 i
  shift
  start "$@"
  for ((i = 0; i < 100; i++)); do
    [ "$(visible_windows)" -gt 0 ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ "$(visible_windows)" -eq 0 ]; then
    fail "$name: no window"
    return 1
  fi
  return 0
}

# saver_ends_on NAME INPUT ARGS...: saver animates and ends with 0 within a
# few seconds of the input (mouse: a one-pixel move; key: a held key).
saver_ends_on() {
  local name=$1 input=$2
  shift 2
  xdotool mousemove 400 300
  sleep 0.2
  animates "$name" "$saver" "$@" || { stop_program; return; }
  sleep 2
  if ! kill -0 "$program_pid" 2>/dev/null; then fail "$name: ended on its own"; program_pid=""; return; fi
  case "$input" in
    mouse) xdotool mousemove_relative -- 1 0 ;;
    mouse-y) xdotool mousemove_relative -- 0 -1 ;;
    key) hold_key a ;;
  esac
  if ! ends_within 3; then
    fail "$name: still running after the $input"
    stop_program
    return
  fi
  [ "$exit_code" -eq 0 ] && pass || fail "$name: exit code $exit_code"
}

# standalone_run NAME SHOT MIN_COLOURS COVERED: standalone ignores the mouse, other keys and its
# command line, shows rings, and ends on Escape.
standalone_run() {
  local name=$1 shot=$2 least=${3:-0} covered=${4:-0}
  animates "$name" "$standalone" /c || { stop_program; return; }
  sleep 2
  xdotool mousemove_relative -- 5 5
  hold_key a
  hold_key space
  sleep 1.5
  if ! kill -0 "$program_pid" 2>/dev/null; then
    fail "$name: ended on the mouse or another key"
    program_pid=""
    return
  fi
  pass
  if [ -n "$shot" ] && [ "$covered" -eq 1 ]; then
    # How soon the rings reach every part of the screen depends on the frame
    # rate; a generous limit, checked every two seconds.
    wait_until_covered "$shot" 60
  fi
  [ -n "$shot" ] && shows_rings "$name" "$shot" "$least" "$covered"
  hold_key Escape
  if ! ends_within 3; then
    fail "$name: still running after Escape"
    stop_program
    return
  fi
  [ "$exit_code" -eq 0 ] && pass || fail "$name: exit code $exit_code"
}

start_xvfb 800x600x24 || exit 1
use_private_wine_prefix "$work/prefix"

# saver's command-line table.
saver_ends_on "saver /s, mouse" mouse /s
saver_ends_on "saver -sfoo, mouse" mouse-y -sfoo
saver_ends_on "saver /s, key" key /s
# The Test command and a double-click on the file pass "/S".
saver_ends_on "saver /S, mouse" mouse /S
ends_at_once "saver /p 1234" /p 1234
ends_at_once "saver /P 1234" /P 1234
ends_at_once "saver without parameters"
ends_at_once "saver s" s
about_box "saver /c" /c
about_box "saver /c:1234" /c:1234
about_box "saver /c 1234" /c 1234
about_box "saver /C:1234" /C:1234
# The animation as standalone shows it; a screenshot a few seconds in.
standalone_run "standalone, 32 bits" "$shots/standalone-32.png" 40 1

# Without Direct3D nothing is drawn, but both programs still end as they should.
export WINEDLLOVERRIDES="$base_overrides;d3d9=d"
saver_ends_on "saver /s without Direct3D" mouse /s
standalone_run "standalone without Direct3D" ""
# What an undrawn window looks like, to show that the grey test sees it.
start "$standalone"
sleep 3
import -window root "$shots/no-direct3d.png" 2>/dev/null
if is_light_grey "$(commonest_colour "$shots/no-direct3d.png")"; then pass; else
  fail "without Direct3D the screen is not the button face: $(commonest_colour "$shots/no-direct3d.png")"
fi
hold_key Escape
ends_within 3 || stop_program

# Without DirectInput the key test never fires; the mouse still ends saver.
export WINEDLLOVERRIDES="$base_overrides;dinput=d"
saver_ends_on "saver /s without DirectInput" mouse /s
animates "standalone without DirectInput" "$standalone" && {
  sleep 2
  hold_key Escape
  sleep 2
  if kill -0 "$program_pid" 2>/dev/null; then pass; else fail "standalone without DirectInput ended"; fi
}
stop_program
export WINEDLLOVERRIDES="$base_overrides"

# A 16-bit screen: pixel class 2. Wine's desktop belongs to the first X
# server, so the prefix's wineserver ends with it.
end_private_wine
stop_xvfb
start_xvfb 800x600x16 || exit 1
use_private_wine_prefix "$work/prefix16"
standalone_run "standalone, 16 bits" "$shots/standalone-16.png" 15 1
xdotool mousemove 400 300
animates "saver /s, 16 bits" "$saver" /s && {
  sleep 4
  shows_rings "saver /s, 16 bits" "$shots/saver-16.png" 15 0
  xdotool mousemove_relative -- 1 0
  if ends_within 3; then
    [ "$exit_code" -eq 0 ] && pass || fail "saver /s, 16 bits: exit code $exit_code"
  else
    fail "saver /s, 16 bits: still running after the mouse move"
    stop_program
  fi
}

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
