#!/usr/bin/env bash
# End-to-end checks of vivuvev-render: the files it writes, that they are the
# same on every run, and that bad arguments, videos' too, write nothing.
set -u
render=$1
. "$(dirname "$0")/check_lib.sh"

cd "$work" || exit 1
"$render" --size 320x240 --seed 7 --frames 300 --every 100 --canvas --cycles c.txt --out out >run1.log 2>&1
status=$?
[ "$status" -eq 0 ] || fail "render exited $status: $(cat run1.log)"
for n in 000100 000200 000300; do
  [ -s "out/frame-$n.png" ] || fail "out/frame-$n.png missing"
  [ -s "out/canvas-$n.png" ] || fail "out/canvas-$n.png missing"
done
count=$(find out -type f | wc -l)
[ "$count" -eq 6 ] || fail "expected 6 files in out, found $count"
# 300 frames of 200-step cycles (MaxStep 200 at 320 x 240): two cycles begun.
lines=$(wc -l <c.txt)
[ "$lines" -eq 2 ] || fail "expected 2 cycle lines, found $lines"
awk 'NF != 9 { exit 1 } { for (i = 1; i <= 9; i++) if ($i !~ /^-?[0-9]+$/) exit 1 }' c.txt ||
  fail "cycle lines are not nine integers: $(head -2 c.txt)"
awk '{ if ($1 < 0 || $1 > 320 || $2 < 0 || $2 > 240 || $3 < $1 || $3 > $1 + 2) exit 1;
       for (i = 4; i <= 9; i++) if ($i < 0 || $i > 255) exit 1 }' c.txt ||
  fail "cycle values out of range: $(cat c.txt)"
file out/frame-000300.png | grep -q '320 x 240, 8-bit/color RGB,' || fail "frame is not 8-bit RGB: $(file out/frame-000300.png)"
file out/canvas-000300.png | grep -q '320 x 240, 8-bit/color RGBA,' || fail "canvas is not 8-bit RGBA"

"$render" --size 320x240 --seed 7 --frames 300 --every 100 --canvas --cycles c2.txt --out out2 >run2.log 2>&1 ||
  fail "second render failed"
for f in frame-000100 frame-000300 canvas-000300; do
  cmp -s "out/$f.png" "out2/$f.png" || fail "$f.png differs between runs"
done
cmp -s c.txt c2.txt || fail "cycles differ between runs"

"$render" --size 64x48 --bits 16 --seed 1 --frames 5 --every 2 --out out16 >/dev/null 2>&1 || fail "16-bit render failed"
[ "$(ls out16)" = "$(printf 'frame-000002.png\nframe-000004.png\nframe-000005.png')" ] ||
  fail "16-bit render wrote: $(ls out16 | tr '\n' ' ')"

bad() {
  local name=$1
  shift
  rm -rf bad && mkdir bad
  "$render" "$@" >bad.out 2>bad.err
  local status=$?
  [ "$status" -eq 2 ] || fail "$name: exit $status, expected 2"
  [ "$(wc -l <bad.err)" -ge 1 ] || fail "$name: no message"
  grep -q '^vivuvev-render: ' bad.err || fail "$name: message does not name the program: $(cat bad.err)"
  [ -z "$(ls -A bad)" ] || fail "$name: wrote $(ls -A bad)"
}
bad "unknown option" --colour red --out bad/x
bad "zero size" --size 0x10 --out bad/x
bad "negative size" --size -3x10 --out bad/x
bad "not WxH" --size big --out bad/x
bad "too wide" --size 16385x10 --out bad/x
bad "too tall" --size 10x20000 --out bad/x
bad "frames not numeric" --frames many --out bad/x
bad "every not numeric" --every 1.5 --out bad/x
touch notadir
bad "out under a file" --out notadir/sub --frames 1
chmod 555 bad
if [ "$(id -u)" -ne 0 ]; then
  bad "out not writable" --out bad/x --frames 1
fi
chmod 755 bad

# Videos: refused before the first frame, leaving nothing.
bad "unknown extension" --frames 1 --video bad/x.avi
bad "no extension" --frames 1 --video bad/x
bad "odd size for H.264" --size 321x180 --frames 1 --video bad/x.mp4
bad "too wide for WebP" --size 16384x2 --frames 1 --video bad/x.webp
bad "GIF rate off hundredths" --fps 60 --frames 1 --video bad/x.gif
bad "WebP rate too high" --fps 100 --frames 1 --video bad/x.webp
bad "rate zero" --fps 0 --frames 1 --video bad/x.mp4
bad "rate too high" --fps 241 --frames 1 --video bad/x.mp4
bad "rate without video" --fps 30 --frames 1 --out bad/x
bad "canvas with video" --canvas --frames 1 --video bad/x.mp4
bad "out with video" --out bad/o --frames 1 --video bad/x.mp4
bad "missing directory" --frames 1 --video bad/none/x.mp4
bad "directory is a file" --frames 1 --video notadir/x.webm
mkdir -p dir.gif
"$render" --frames 1 --video dir.gif >/dev/null 2>&1
[ $? -eq 2 ] || fail "a directory named FILE: expected exit 2"
[ -z "$(ls -A dir.gif)" ] || fail "a directory named FILE: wrote into it"
bad "cycles file unwritable" --frames 1 --cycles bad/none/c.txt --video bad/x.mp4
# Without the video writer where it looks for it, a copy still writes PNGs but
# no video.
cp "$render" alone
render=./alone bad "no video writer" --frames 1 --video bad/x.mp4

report
