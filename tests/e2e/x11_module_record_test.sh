#!/usr/bin/env bash
# vivuvev -record-animation N: its first N shown frames go into vivuvev.mp4 in
# the working directory, and it goes on drawing; ended sooner, the video keeps
# the frames it has; a file it cannot write is told and does not end it.
# Usage: x11_module_record_test.sh VIVUVEV VIDEO_PROBE
set -u
module=$1
probe=$2
. "$(dirname "$0")/x11_lib.sh"
start_display 24 1024x768

# ends PID LABEL: SIGTERM ends it with status 0.
ends() {
  kill -TERM "$1"
  if finished "$1" 5; then
    [ "$exit_status" -eq 0 ] || fail "$2: exited $exit_status on SIGTERM"
  else
    fail "$2: still runs 5 s after SIGTERM"
  fi
}

mkdir "$work/all" "$work/short" "$work/blocked" "$work/blocked/vivuvev.mp4"

# 40 frames of its own 800x600 window, at 60 a second: 39 intervals.
cd "$work/all" || exit 1
start module "$module" -window -delay 0 -record-animation 40
pid=$last_pid
within 30 test -s vivuvev.mp4 || fail "no vivuvev.mp4 within 30 s: $(head -3 "$work/module.err")"
sleep 1
running "$pid" || fail "vivuvev ended after recording: $(head -3 "$work/module.err")"
"$probe" vivuvev.mp4 >probe.txt || fail "vivuvev.mp4 does not decode"
grep -qx 'frames 40' probe.txt || fail "expected 40 frames: $(tr '\n' ' ' <probe.txt)"
grep -qx 'size 800x600' probe.txt || fail "expected 800x600: $(tr '\n' ' ' <probe.txt)"
awk '$1 == "span_us" { d = $2 - 39e6 / 60; exit !(d < 1000 && d > -1000) }' probe.txt ||
  fail "expected 39 intervals of 1/60 s: $(grep span_us probe.txt)"
ls ./*.partial >/dev/null 2>&1 && fail "a partial file is left"
ends "$pid" "after recording"

# Ended before its 100000 frames: what it has is a complete video.
cd "$work/short" || exit 1
start module "$module" -window -delay 0 -record-animation 100000
pid=$last_pid
within 30 test -s vivuvev.mp4.partial || fail "the recording never started: $(head -3 "$work/module.err")"
sleep 1
ends "$pid" "while recording"
[ -e vivuvev.mp4.partial ] && fail "the partial file is left"
"$probe" vivuvev.mp4 >probe.txt || fail "the cut-short vivuvev.mp4 does not decode"
awk '$1 == "frames" { exit !($2 >= 1) }' probe.txt || fail "the cut-short video has no frame"

# vivuvev.mp4 is a directory: one line, and the animation goes on.
cd "$work/blocked" || exit 1
start module "$module" -window -record-animation 10
pid=$last_pid
sleep 3
running "$pid" || fail "an unwritable recording ended vivuvev"
grep -q '^vivuvev: .*vivuvev.mp4' "$work/module.err" || fail "no message: $(head -3 "$work/module.err")"
ends "$pid" "unwritable recording"

report
