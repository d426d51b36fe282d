#!/usr/bin/env bash
# End-to-end checks of vivuvev-render: the files it writes, that they are the
# same on every run, that bad arguments, videos' too, write nothing, that a
# run that cannot have its memory or its output folder says so in one line,
# that a planted temporary is never written through, and where the video
# writer is loaded from.
# Usage: render_test.sh VIVUVEV_RENDER FAKE_VIDEO_PLUGIN
set -u
render=$1
fake_plugin=$2
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
  "${runner[@]}" "$render" "$@" >bad.out 2>bad.err
  local status=$?
  [ "$status" -eq 2 ] || fail "$name: exit $status, expected 2"
  [ "$(wc -l <bad.err)" -ge 1 ] || fail "$name: no message"
  grep -q '^vivuvev-render: ' bad.err || fail "$name: message does not name the program: $(cat bad.err)"
  [ -z "$(ls -A bad)" ] || fail "$name: wrote $(ls -A bad)"
}
runner=()

# one_line NAME STATUS COMMAND...: the command ends with STATUS after exactly
# one line on stderr, which names the program (no abort, no usage).
one_line() {
  local name=$1 expected=$2 status
  shift 2
  "$@" >one.out 2>one.err
  status=$?
  [ "$status" -eq "$expected" ] || fail "$name: exit $status, expected $expected: $(head -3 one.err)"
  { [ "$(wc -l <one.err)" -eq 1 ] && grep -q '^vivuvev-render: ' one.err; } ||
    fail "$name: not one line from vivuvev-render: $(head -3 one.err)"
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
# Permissions hold for an unprivileged user only.
chmod 755 "$work"
chmod 555 bad
runner=(as_user)
bad "out not writable" --out bad/x --frames 1
runner=()
chmod 755 bad

# Output folders whose check fails: one line and status 2, no abort.
ln -s loop loop
one_line "out under a symlink loop" 2 "$render" --size 8x8 --frames 1 --out loop/x
grep -q 'symbolic links' one.err || fail "symlink loop: the reason is not named: $(cat one.err)"
long=$(printf 'n%.0s' $(seq 300))
one_line "out named too long" 2 "$render" --size 8x8 --frames 1 --out "$long"
grep -q 'too long' one.err || fail "long name: the reason is not named: $(cat one.err)"
mkdir -m 700 locked
one_line "out in a folder it may not enter" 2 as_user "$render" --size 8x8 --frames 1 --out "$work/locked/x"
grep -q 'Permission denied' one.err || fail "locked folder: the reason is not named: $(cat one.err)"
mkdir -m 555 readonly
one_line "out a folder it may not write" 2 as_user "$render" --size 8x8 --frames 1 --out "$work/readonly"
[ -z "$(ls -A readonly)" ] || fail "read-only folder: left $(ls -A readonly)"

# Out of memory: a 16384 x 16384 screen takes 1 GiB for the back buffer, as
# much for the canvas and its working copy. Under 900 000 KiB the back buffer
# cannot be had; under 1 500 000 KiB it can, the canvas cannot. Known before
# the first frame: one line naming it, status 2, nothing written.
if sanitized "$render"; then
  echo "memory limits skipped: AddressSanitizer takes no limit on the address space"
else
  for case in "900000 back buffer" "1500000 canvas"; do
    limit=${case%% *} what=${case#* }
    rm -rf big big.webm
    one_line "limit $limit" 2 bash -c 'ulimit -v "$0" && exec "$1" --size 16384x16384 --frames 2 --out big' \
      "$limit" "$render"
    grep -q "cannot allocate the 16384x16384 $what (1024 MiB)" one.err ||
      fail "limit $limit: not the $what: $(cat one.err)"
    [ ! -e big ] || fail "limit $limit: created big/"
    one_line "limit $limit, a video" 2 bash -c 'ulimit -v "$0" && exec "$1" --size 16384x16384 --frames 2 --video big.webm' \
      "$limit" "$render"
    [ -z "$(ls big.webm* 2>/dev/null)" ] || fail "limit $limit: left $(ls big.webm*)"
  done
fi

# A planted temporary is never written through: the link and what it points
# to stay as they were, and the frame is refused.
echo precious >victim
mkdir planted
ln -s ../victim planted/frame-000002.png.partial
one_line "planted PNG temporary" 1 "$render" --size 32x24 --frames 2 --every 2 --out planted
grep -q "frame-000002.png.partial' is in the way" one.err || fail "planted PNG temporary: $(cat one.err)"
[ "$(cat victim)" = precious ] || fail "the planted link's target was written"
[ -L planted/frame-000002.png.partial ] || fail "the planted link was moved or removed"
[ ! -e planted/frame-000002.png ] || fail "a frame took the planted temporary's place"

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

# A writer of another version, where a copy looks for it, is refused.
mkdir -p tree/bin tree/lib/vivuvev/plugins
cp "$render" tree/bin/
cp "$fake_plugin" tree/lib/vivuvev/plugins/vivuvev-video.so
one_line "a writer of another version" 2 tree/bin/vivuvev-render --size 8x8 --frames 1 --video bad/x.gif
grep -q 'version' one.err || fail "another version: the message does not say so: $(cat one.err)"

# Where the program cannot tell where it is (no /proc), no writer is loaded:
# not even one planted under the working folder, whose code would run.
mkdir -p noproc/lib/vivuvev/plugins
cp "$fake_plugin" noproc/lib/vivuvev/plugins/vivuvev-video.so
without_proc() { unshare "$@" sh -c 'umount -l /proc 2>/dev/null && ! test -e /proc/self/exe' >/dev/null 2>&1; }
if sanitized "$render"; then
  echo "the run without /proc skipped: AddressSanitizer needs /proc"
elif without_proc -m || without_proc -rm; then
  namespace=(-m)
  without_proc -m || namespace=(-rm)
  one_line "no /proc" 2 env VIVUVEV_PLUGIN_MARK="$work/mark" unshare "${namespace[@]}" \
    sh -c 'umount -l /proc && cd noproc && exec "$@"' sh "$render" --size 8x8 --frames 1 --video x.gif
  grep -q '/proc/self/exe' one.err || fail "no /proc: the message does not say why: $(cat one.err)"
  [ ! -e mark ] || fail "no /proc: the writer planted under the working folder was loaded"
  [ ! -e noproc/x.gif ] || fail "no /proc: a video was written"
else
  echo "the run without /proc skipped: no mount namespace can be made here"
fi

report
