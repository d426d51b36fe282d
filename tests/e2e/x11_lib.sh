# Shared by the X11 end-to-end scripts: a private Xvfb (xvfb.sh), the
# processes each script starts, ended by their pid on every path, and small
# helpers over xdotool and imagemagick.
#
# Source it, then: start_display DEPTH [WIDTHxHEIGHT] [Xvfb options...]

. "$(dirname "${BASH_SOURCE[0]}")/check_lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

started_pids=()

cleanup() {
  local pid
  for pid in "${started_pids[@]}"; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_display() {
  local depth=$1 size=${2:-640x480}
  shift 2 || shift $#
  start_xvfb "${size}x${depth}" "$@" || exit 1
  started_pids+=("$xvfb_pid")
}

# start NAME COMMAND...: runs the command in the background; its pid is in
# $last_pid and its output in $work/NAME.out and $work/NAME.err.
start() {
  local name=$1
  shift
  "$@" >"$work/$name.out" 2>"$work/$name.err" &
  last_pid=$!
  started_pids+=("$last_pid")
}

# within SECONDS COMMAND...: runs COMMAND (its output dropped) every tenth of
# a second until it succeeds; fails when SECONDS (whole) have passed without
# success. Drawing is timed by the machine's speed and the cycles by chance,
# so a picture is awaited rather than expected at a fixed moment.
within() {
  local deadline=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "${EPOCHREALTIME//[!0-9]/}" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }

# finished PID SECONDS: waits at most SECONDS (whole) for PID to end; its exit
# status is then in $exit_status. Returns 1 if it is still running.
finished() {
  within "$2" ended "$1" || return 1
  wait "$1"
  exit_status=$?
}

# The keyboard is polled: a key must be down across a poll to be seen.
hold_key() {
  xdotool keydown "$1"
  sleep 0.25
  xdotool keyup "$1"
}

# find_window SECONDS SEARCH...: the first visible window that
# `xdotool search` finds with SEARCH, within SECONDS; its id on stdout.
find_window() {
  local limit=$1 i id
  shift
  for i in $(seq 1 $((limit * 20))); do
    id=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# A visible window with this exact name, within SECONDS; its id on stdout.
window_named() { find_window "${2:-5}" --name "$1"; }

# The program's full-screen window, within SECONDS.
animation_window() { find_window "${1:-5}" --class vivuvev; }

# names_itself LABEL WINDOW PID TITLE: fails unless the window carries what
# every window of the programs does: its title in _NET_WM_NAME, the class
# "vivuvev", "Vivuvev", and the process that drew it (_NET_WM_PID, with the
# machine it runs on in WM_CLIENT_MACHINE).
names_itself() {
  local label=$1 window=$2 pid=$3 title=$4 props expected line
  props=$(xprop -id "$window" _NET_WM_PID _NET_WM_NAME WM_CLASS WM_CLIENT_MACHINE 2>&1)
  # xprop shows an empty text without quotes.
  expected="_NET_WM_NAME(UTF8_STRING) = ${title:+\"$title\"}"
  for line in "_NET_WM_PID(CARDINAL) = $pid" "$expected" 'WM_CLASS(STRING) = "vivuvev", "Vivuvev"' \
    "WM_CLIENT_MACHINE(STRING) = \"$(uname -n)\""; do
    grep -qxF -- "$line" <<<"$props" || fail "$label: no '$line' among: $(tr '\n' ';' <<<"$props")"
  done
}

screenshot() { import -window root "$1"; }
# colours SHOT [GEOMETRY]: the colours in a screenshot, or in that part of it.
colours() { convert "$1" ${2:+-crop "$2" +repage} -format %k info:; }

# black_tiles SHOT [GEOMETRY]: how many of the 4 x 4 tiles of a screenshot (or
# of that part of it) are black throughout.
black_tiles() {
  convert "$1" ${2:+-crop "$2" +repage} -crop 4x4@ +repage -format '%[fx:maxima]\n' info: |
    awk '$1 == 0 { n++ } END { print n + 0 }'
}

# keep_shot NAME: a screenshot as $work/NAME.png, copied into $VIVUVEV_SHOTS
# when that is set.
keep_shot() {
  screenshot "$work/$1.png"
  cp "$work/$1.png" "${VIVUVEV_SHOTS:-$work}/" 2>/dev/null
}

# rings_shot NAME [GEOMETRY]: keep_shot NAME; succeeds when the screen, or that
# part of it, has at least 20 colours and no black tile ($rings_seen says what
# it has otherwise).
rings_shot() {
  local shot=$work/$1.png geometry=${2:-} n black
  keep_shot "$1"
  n=$(colours "$shot" "$geometry")
  black=$(black_tiles "$shot" "$geometry")
  rings_seen="$n colours, $black of 16 tiles black"
  [ "$n" -ge 20 ] && [ "$black" -eq 0 ]
}

# shows_rings LABEL NAME [GEOMETRY]: fails unless rings_shot NAME [GEOMETRY]
# succeeds within 15 s.
shows_rings() {
  within 15 rings_shot "$2" "${3:-}" || fail "$1: $rings_seen"
}
