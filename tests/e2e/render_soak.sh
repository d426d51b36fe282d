#!/usr/bin/env bash
# Soak of vivuvev-render: a long run must show no memory error and take no
# more memory than a short one. Seen from outside, through the allocator's
# own counts at exit: a run of SHORT frames and a run of LONG frames must
# make the same number of allocations of the same total size and hold the
# same memory at exit, so that the frames after the first SHORT took none.
# Usage: render_soak.sh asan RENDER       100 000 frames at 64 x 48, under
#                                         the sanitizers the binary carries
#        render_soak.sh valgrind RENDER   2 000 frames at 1920 x 1080 under
#                                         valgrind's memcheck
set -u
mode=$1 render=$2
. "$(dirname "$0")/check_lib.sh"

case "$mode" in
  asan) size=64x48 short=1000 long=100000 ;;
  valgrind) size=1920x1080 short=1000 long=2000 ;;
  *) echo "render_soak: unknown mode '$mode'" >&2; exit 2 ;;
esac

# Runs N frames into directory OUT (short and long runs name theirs with the
# same number of bytes, so that the paths allocate alike); the allocator's
# summary goes to $work/N.log.
run() {
  local frames=$1 out=$work/$2 status
  local args=(--size "$size" --seed 11 --frames "$frames" --every "$frames" --out "$out")
  if [ "$mode" = asan ]; then
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:atexit=1:print_stats=1" "$render" "${args[@]}" >"$work/$frames.log" 2>&1
  else
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
      --errors-for-leak-kinds=definite,indirect "$render" "${args[@]}" >"$work/$frames.log" 2>&1
  fi
  status=$?
  [ "$status" -eq 0 ] || { fail "$frames frames: exit $status"; tail -n 40 "$work/$frames.log"; }
  [ -s "$out/frame-$(printf %06d "$frames").png" ] || fail "$frames frames: last frame not written"
}

# What the allocator says of a run, one line of numbers.
summary() {
  if [ "$mode" = asan ]; then
    # "Stats: 0M malloced (0M for red zones) by 1234 calls", and the like for
    # realloc and free.
    grep -E '^Stats: .* (malloced|realloced|freed) .*by [0-9]+ calls' "$work/$1.log" |
      grep -v 'really freed' | sed -E 's/.* (malloced|realloced|freed) .*by ([0-9]+) calls/\1 \2/' |
      tr '\n' ' '
  else
    # "total heap usage: A allocs, F frees, B bytes allocated" and
    # "in use at exit: X bytes in Y blocks"
    grep -E 'total heap usage:|in use at exit:' "$work/$1.log" | sed -E 's/^==[0-9]+== +//' | tr '\n' ' '
  fi
}

start=$SECONDS
run "$short" out1
run "$long" out2
short_summary=$(summary "$short")
long_summary=$(summary "$long")
echo "$short frames: $short_summary"
echo "$long frames: $long_summary"
[ -n "$short_summary" ] || fail "no allocator summary: $(tail -n 20 "$work/$short.log")"
[ "$short_summary" = "$long_summary" ] || fail "memory taken by frames $((short + 1)) to $long"
echo "$mode soak took $((SECONDS - start))s"

report
