#!/usr/bin/env bash
# End-to-end checks of vivuvev-render --video: each kind of file, decoded
# again, has the frames, size and rate asked for and shows what the PNGs of
# the same frames show; FILE is a local file whatever its name; a planted
# temporary is never written through; an interrupted run and a full disk
# leave nothing and tell why. (render_test.sh has the refused video
# arguments.)
set -u
render=$1
probe=$2
. "$(dirname "$0")/check_lib.sh"
# field NAME N < probe output: the Nth number after NAME.
field() { awk -v name="$1" -v n="$2" '$1 == name { print $(n + 1) }'; }

cd "$work" || exit 1
# 60 frames, every 2nd kept: the video's frame k (from 0) is frame-{2k+2}.png.
"$render" --size 320x180 --seed 7 --frames 60 --every 2 --out png >/dev/null 2>&1 || fail "PNG render failed"

# kind, --fps given (or "" for the default), the rate expected.
while read -r kind fps rate; do
  video=clip.$kind
  rate_option=()
  [ "$fps" = - ] || rate_option=(--fps "$fps")
  "$render" --size 320x180 --seed 7 --frames 60 --every 2 "${rate_option[@]}" --video "$video" >run.log 2>&1 ||
    { fail "$kind: render failed: $(cat run.log)"; continue; }
  [ -z "$(ls "$video".partial 2>/dev/null)" ] || fail "$kind: partial file left"
  "$probe" "$video" >probe.txt || { fail "$kind: cannot decode"; continue; }
  [ "$(field frames 1 <probe.txt)" = 30 ] || fail "$kind: $(field frames 1 <probe.txt) frames, expected 30"
  [ "$(field size 1 <probe.txt)" = 320x180 ] || fail "$kind: size $(field size 1 <probe.txt)"
  [ "$(field opaque 1 <probe.txt)" = 1 ] || fail "$kind: transparent pixels"
  # 29 frame intervals from the first frame's start to the last's; the
  # containers count time in milliseconds at the coarsest.
  span=$(field span_us 1 <probe.txt)
  awk -v s="$span" -v r="$rate" 'BEGIN { d = s - 29e6 / r; exit !(d < 1000 && d > -1000) }' ||
    fail "$kind: first to last frame $span µs, expected $((29000000 / rate)) at $rate per second"
  for pair in 29:60 0:2 14:30; do
    index=${pair%:*}
    png=$(printf 'png/frame-%06d.png' "${pair#*:}")
    "$probe" "$video" "$index" "$png" >cmp.txt || { fail "$kind: cannot compare frame $index"; continue; }
    case $kind in
      mp4|webm)
        # A quarter of the chroma mutes the rings' one-pixel colour patterns
        # whatever the codec does; the codec's own error is measured against
        # the PNG as 4:2:0 carries it.
        awk '$1 == "sampled_mad" { exit !($2 < 3 && $3 < 3 && $4 < 3) }' cmp.txt ||
          fail "$kind frame $index: $(grep sampled_mad cmp.txt), expected under 3" ;;
      webp)
        # Lossless.
        [ "$(field mad 1 <cmp.txt) $(field mad 2 <cmp.txt) $(field mad 3 <cmp.txt)" = "0.000 0.000 0.000" ] ||
          fail "webp frame $index: $(grep '^mad' cmp.txt), expected exact" ;;
      gif)
        # Each pixel gets the colour nearest to its 5-bit cell's mean: at most
        # 2 * sqrt(3) * 7 further than the frame's nearest colour. And a
        # palette made for the frame beats a uniform 6x7x6 cube.
        awk '$1 == "palette_excess" { exit !($2 <= 24.25) }' cmp.txt ||
          fail "gif frame $index: $(grep palette_excess cmp.txt), expected at most 24.25"
        awk '$1 == "mad" { m = ($2 + $3 + $4) / 3 } $1 == "cube_mad" { c = $2 } END { exit !(m <= c) }' cmp.txt ||
          fail "gif frame $index: $(grep -E 'mad' cmp.txt | tr '\n' ' ') is no better than a uniform cube" ;;
    esac
  done
done <<'KINDS'
mp4 - 60
webm 30 30
webp 25 25
gif - 50
KINDS

# 16 bits, and a last frame that is not a multiple of --every: frames 3, 6, 7.
"$render" --size 64x48 --bits 16 --seed 3 --frames 7 --every 3 --out png16 >/dev/null 2>&1 || fail "16-bit PNG render failed"
"$render" --size 64x48 --bits 16 --seed 3 --frames 7 --every 3 --video clip16.webp >/dev/null 2>&1 || fail "16-bit video render failed"
[ "$("$probe" clip16.webp | field frames 1)" = 3 ] || fail "16-bit: expected 3 frames"
[ "$("$probe" clip16.webp 2 png16/frame-000007.png | field mad 1)" = 0.000 ] || fail "16-bit: last frame is not frame 7"

# Interrupted between frames (Ctrl-C, the terminal's end): the unfinished
# video goes.
for signal in INT:130 HUP:129; do
  rm -rf int && mkdir int
  "$render" --size 320x180 --frames 100000 --video int/x.webm >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 100); do [ -s int/x.webm.partial ] && break; sleep 0.1; done
  [ -s int/x.webm.partial ] || fail "SIG${signal%:*}: the video was never started"
  kill -"${signal%:*}" "$pid"
  wait "$pid"
  status=$?
  [ "$status" -eq "${signal#*:}" ] || fail "SIG${signal%:*}: exit $status, expected ${signal#*:}"
  [ -z "$(ls -A int)" ] || fail "SIG${signal%:*}: left $(ls -A int)"
done

# A signal while the output is still being opened (here the cycles file, a
# FIFO nobody reads, whose opening waits) also removes the video begun. It
# is sent as soon as the video exists, so that in some rounds it comes
# before the open has begun; a run still waiting 10 s later has missed it.
for round in 1 2 3 4 5; do
  rm -rf int int.fifo && mkdir int && mkfifo int.fifo
  "$render" --size 64x48 --frames 5 --cycles int.fifo --video int/x.webm >/dev/null 2>&1 &
  pid=$!
  # Looked for without a pause: a sleep gives the run the time to reach the open.
  deadline=$((${EPOCHREALTIME//[!0-9]/} + 10000000))
  until [ -e int/x.webm.partial ] || [ "${EPOCHREALTIME//[!0-9]/}" -gt "$deadline" ]; do :; done
  [ -e int/x.webm.partial ] || fail "opening: the video was never started"
  kill -TERM "$pid"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "opening, round $round: still running 10 s after SIGTERM"
    kill -KILL "$pid"
    wait "$pid"
    break
  fi
  wait "$pid"
  status=$?
  [ "$status" -eq 143 ] || fail "opening, round $round: exit $status, expected 143"
  [ -z "$(ls -A int)" ] || fail "opening, round $round: left $(ls -A int)"
done

# FILE is a local file, whatever it holds: never a protocol of FFmpeg's.
"$render" --size 64x48 --seed 1 --frames 3 --video a:b.mp4 >run.log 2>&1 || fail "a:b.mp4: $(cat run.log)"
[ "$("$probe" a:b.mp4 | field frames 1)" = 3 ] || fail "a:b.mp4 is not a video of 3 frames"
"$render" --size 64x48 --seed 1 --frames 3 --video pipe:1.gif >pipe.out 2>run.log || fail "pipe:1.gif: $(cat run.log)"
grep -q GIF8 pipe.out && fail "pipe:1.gif went to standard output"
[ "$("$probe" pipe:1.gif | field frames 1)" = 3 ] || fail "pipe:1.gif is not a video of 3 frames"
# A listener that notes any connection made to it.
python3 -c '
import socket, sys
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(1)
print(s.getsockname()[1], flush=True)
s.accept()
open(sys.argv[1], "w").write("connected")
' "$work/connected" >port.txt &
listener=$!
for _ in $(seq 50); do [ -s port.txt ] && break; sleep 0.1; done
port=$(cat port.txt)
mkdir -p "tcp:/127.0.0.1:$port"
"$render" --size 64x48 --seed 1 --frames 3 --video "tcp://127.0.0.1:$port/x.webm" >run.log 2>&1 ||
  fail "tcp://...: $(cat run.log)"
[ -s "tcp:/127.0.0.1:$port/x.webm" ] || fail "tcp://127.0.0.1:$port/x.webm is not a local file"
"$render" --size 64x48 --frames 3 --video "tcp://127.0.0.1:$port/none/x.webm" >/dev/null 2>&1
[ $? -eq 2 ] || fail "tcp://... in a missing folder: expected exit 2"
sleep 0.5
[ -e connected ] && fail "a tcp:// name opened a connection"
kill "$listener" 2>/dev/null
wait "$listener" 2>/dev/null

# A planted temporary is never written through, nor a leftover reused: the
# video is refused before the first frame, and both stay as they were.
echo precious >victim
ln -s victim planted.webm.partial
"$render" --size 64x48 --frames 2 --video planted.webm >/dev/null 2>run.err
[ $? -eq 2 ] || fail "planted link: expected exit 2"
grep -q "planted.webm.partial' is in the way" run.err || fail "planted link: $(cat run.err)"
[ "$(cat victim)" = precious ] || fail "planted link: its target was written"
[ -L planted.webm.partial ] && [ ! -e planted.webm ] || fail "planted link: moved, or the video named"
echo leftover >left.gif.partial
"$render" --size 64x48 --frames 2 --video left.gif >/dev/null 2>&1
[ $? -eq 2 ] || fail "leftover: expected exit 2"
[ "$(cat left.gif.partial)" = leftover ] && [ ! -e left.gif ] || fail "leftover: reused"

# A full disk (a small file system of its own): one line naming the reason,
# status 1, nothing left, and under the sanitizers nothing leaked.
mkdir full
if unshare -m sh -c 'mount -t tmpfs -o size=32k tmpfs "$0"' "$work/full" 2>/dev/null; then
  for kind in gif mp4 webm webp; do
    unshare -m sh -c 'mount -t tmpfs -o size=32k tmpfs "$0" && cd "$0" &&
      "$1" --size 320x240 --seed 5 --frames 100 --video "x.$2" >/dev/null 2>"$3/full.err"
      status=$?; ls -A >"$3/full.left"; exit $status' "$work/full" "$render" "$kind" "$work"
    status=$?
    [ "$status" -eq 1 ] || fail "full disk, $kind: exit $status, expected 1: $(head -5 full.err)"
    [ "$(cat full.err)" = "vivuvev-render: cannot write 'x.$kind': No space left on device" ] ||
      fail "full disk, $kind: $(head -5 full.err)"
    [ -s full.left ] && fail "full disk, $kind: left $(cat full.left)"
  done
else
  echo "the full disk skipped: no file system of its own can be mounted here"
fi

report
