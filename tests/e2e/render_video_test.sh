#!/usr/bin/env bash
# End-to-end checks of vivuvev-render --video: each kind of file, decoded
# again, has the frames, size and rate asked for and shows what the PNGs of
# the same frames show; an interrupted run leaves nothing. (render_test.sh
# has the refused video arguments.)
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

# Interrupted between frames: the unfinished video goes.
rm -rf int && mkdir int
"$render" --size 320x180 --frames 100000 --video int/x.webm >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s int/x.webm.partial ] && break; sleep 0.1; done
[ -s int/x.webm.partial ] || fail "interrupt: the video was never started"
kill -INT "$pid"
wait "$pid"
status=$?
[ "$status" -eq 130 ] || fail "interrupt: exit $status, expected 130"
[ -z "$(ls -A int)" ] || fail "interrupt: left $(ls -A int)"

report
