#!/usr/bin/env bash
# vivuvev -record-animation N: its first N shown frames go into vivuvev.mp4 in
# the working directory, and it goes on drawing; ended sooner (SIGTERM,
# SIGHUP, the X server gone), the video keeps the frames it has; a file it
# cannot write, a planted temporary or a missing video writer is told and
# does not end it. The module links none of FFmpeg's libraries.
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

mkdir "$work/all" "$work/short" "$work/blocked" "$work/blocked/vivuvev.mp4" "$work/planted" "$work/hangup" \
  "$work/lost"

# The video writer is a plugin, loaded only for a recording.
ldd "$module" | grep -E 'lib(avcodec|avformat|avutil|swscale)' && fail "the module links FFmpeg's libraries"

# recorded DIR LABEL: DIR holds a complete vivuvev.mp4 of at least one frame
# and no temporary.
recorded() {
  [ -e "$1/vivuvev.mp4.partial" ] && fail "$2: the partial file is left"
  "$probe" "$1/vivuvev.mp4" >"$1/probe.txt" || { fail "$2: vivuvev.mp4 does not decode"; return; }
  awk '$1 == "frames" { exit !($2 >= 1) }' "$1/probe.txt" || fail "$2: the video has no frame"
}

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
recorded . "SIGTERM while recording"

# SIGHUP (its terminal closed) ends it as SIGTERM does.
cd "$work/hangup" || exit 1
start module "$module" -window -delay 0 -record-animation 100000
pid=$last_pid
within 30 test -s vivuvev.mp4.partial || fail "SIGHUP: the recording never started: $(head -3 "$work/module.err")"
sleep 1
kill -HUP "$pid"
if finished "$pid" 5; then
  [ "$exit_status" -eq 0 ] || fail "SIGHUP: exited $exit_status, expected 0"
else
  fail "SIGHUP: still runs 5 s after it"
fi
recorded . "SIGHUP while recording"

# A planted vivuvev.mp4.partial is never written through: one line, and the
# animation goes on.
cd "$work/planted" || exit 1
echo precious >victim
ln -s victim vivuvev.mp4.partial
start module "$module" -window -record-animation 10
pid=$last_pid
sleep 3
running "$pid" || fail "a planted temporary ended vivuvev"
grep -q "^vivuvev: .*vivuvev.mp4.partial' is in the way" "$work/module.err" ||
  fail "planted temporary: $(head -3 "$work/module.err")"
[ "$(cat victim)" = precious ] || fail "the planted link's target was written"
[ -L vivuvev.mp4.partial ] && [ ! -e vivuvev.mp4 ] || fail "the planted link was moved, or a video named"
ends "$pid" "planted temporary"

# Without the video writer beside it (a copy where no plugin is), it says that
# recording is unavailable and draws on.
mkdir -p "$work/alone/libexec/xscreensaver"
cp "$module" "$work/alone/libexec/xscreensaver/vivuvev"
cd "$work/alone" || exit 1
start module "$work/alone/libexec/xscreensaver/vivuvev" -window -record-animation 10
pid=$last_pid
sleep 3
running "$pid" || fail "without the video writer vivuvev ended: $(head -3 "$work/module.err")"
grep -q '^vivuvev: recording is unavailable: ' "$work/module.err" ||
  fail "without the video writer: $(head -3 "$work/module.err")"
[ -e vivuvev.mp4 ] || [ -e vivuvev.mp4.partial ] && fail "without the video writer, a file was written"
ends "$pid" "without the video writer"

# vivuvev.mp4 is a directory: one line, and the animation goes on.
cd "$work/blocked" || exit 1
start module "$module" -window -record-animation 10
pid=$last_pid
sleep 3
running "$pid" || fail "an unwritable recording ended vivuvev"
grep -q '^vivuvev: .*vivuvev.mp4' "$work/module.err" || fail "no message: $(head -3 "$work/module.err")"
ends "$pid" "unwritable recording"

# The X server goes away while it records: status 1, and the video keeps the
# frames it has. Last, since it ends the display.
cd "$work/lost" || exit 1
start module "$module" -window -delay 0 -record-animation 100000
pid=$last_pid
within 30 test -s vivuvev.mp4.partial || fail "lost server: the recording never started: $(head -3 "$work/module.err")"
sleep 1
stop_xvfb
if finished "$pid" 10; then
  [ "$exit_status" -eq 1 ] || fail "lost server: exited $exit_status, expected 1"
else
  fail "lost server: still runs 10 s after the server ended"
fi
grep -q '^vivuvev: lost the connection to the X server' "$work/module.err" ||
  fail "lost server: $(head -3 "$work/module.err")"
recorded . "the server lost while recording"

report
