#!/usr/bin/env bash
# Measures the real x11 programs of this tree against those of BASE_REV in one
# run, each build on a private Xvfb of its own, in rounds that take the two
# builds in turn (the machine's load drifts; each figure is summed over the
# rounds):
# - standalone at 1920x1080x24: its frames per second, counted by its
#   keyboard reads (one a frame, whatever a frame's present is made of), its
#   presents per second, its share of a core and the X server's. The two
#   builds run one after the other, the first of them alternating by round.
# - the module (vivuvev -root, default -delay) at 1920x1080x24 and at
#   3840x2160x24: its frames (presents) per second, its share of a core, its
#   processor time per shown frame and the X server's share. The two builds
#   run at the same time, each on its own server: they take little of the
#   machine, and so see the same load.
# Counts come from a preloaded library (scripts/present_counter.c), processor
# times from /proc/PID/schedstat (nanoseconds). Each program runs 2 s before
# it is measured. BASE_REV is built in a git worktree under build/bench-x11
# (not committed); this tree is built with the native preset. Prints a table
# and writes build/bench-x11/bench-x11.csv and the raw figures of every round
# (rounds.txt).
# Usage: scripts/bench-x11.sh [BASE_REV, default db5a22f]
# Environment: BENCH_ROUNDS (default 3), BENCH_SECONDS (default 10).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base_rev=${1:-db5a22f}
rounds=${BENCH_ROUNDS:-3}
seconds=${BENCH_SECONDS:-10}
warm_up=2
out=$root/build/bench-x11
mkdir -p "$out"

# The two builds and the counter.
cmake --preset native -S "$root" >/dev/null
cmake --build --preset native --target standalone vivuvev >/dev/null
base_src=$out/base-src
if [ ! -e "$base_src/.git" ]; then
  git -C "$root" worktree add --detach "$base_src" "$base_rev" >/dev/null
else
  git -C "$base_src" checkout --quiet --detach "$base_rev"
fi
cmake -S "$base_src" -B "$out/base-build" -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" >/dev/null
cmake --build "$out/base-build" --target standalone vivuvev -j 2 >/dev/null
cc -O2 -Wall -shared -fPIC -o "$out/present_counter.so" "$root/scripts/present_counter.c" -ldl
bin_base=$out/base-build
bin_this=$root/build/native
# A program in a build tree: the module where it is installed
# (libexec/xscreensaver) or, in older trees, in bin/ with the others.
program_in() {
  if [ -x "$1/libexec/xscreensaver/$2" ]; then echo "$1/libexec/xscreensaver/$2"; else echo "$1/bin/$2"; fi
}

# Four servers: one per build at each size. start_xvfb leaves its pid in
# $xvfb_pid and its display in $DISPLAY.
. "$root/tests/e2e/xvfb.sh"
servers=()
program_pids=()
cleanup() {
  local pid
  for pid in "${program_pids[@]}" "${servers[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
trap cleanup EXIT
declare -A display server
for size in 1920x1080 3840x2160; do
  for build in base this; do
    start_xvfb "${size}x24"
    servers+=("$xvfb_pid")
    display[$build-$size]=$DISPLAY
    server[$build-$size]=$xvfb_pid
  done
done

cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }
counts() {  # puts presents keyboard-reads counted so far in counter file $1
  local c
  c=$(od -An -t u8 -N 24 "$1" 2>/dev/null | tr -s ' \n' '  ' | sed 's/^ //')
  echo "${c:-0 0 0}"
}
now() { date +%s.%N; }

raw=$out/rounds.txt
: >"$raw"
# run ROUND PROGRAM SIZE BUILD... -- ARGUMENTS: runs PROGRAM of each BUILD at
# once, each on its server at SIZE, and appends for each a line
# "round program size build seconds presents reads cpu_ns server_ns".
run() {
  local round=$1 program=$2 size=$3
  shift 3
  local builds=()
  while [ "$1" != "--" ]; do
    builds+=("$1")
    shift
  done
  shift
  local build bin counter
  declare -A pid c0 s0 k0
  program_pids=()
  for build in "${builds[@]}"; do
    bin=bin_$build
    counter=$out/$build.count
    rm -f "$counter"
    DISPLAY=${display[$build-$size]} LD_PRELOAD=$out/present_counter.so PRESENT_COUNTER_FILE=$counter \
      "$(program_in "${!bin}" "$program")" "$@" >/dev/null 2>&1 &
    pid[$build]=$!
    program_pids+=("$!")
  done
  sleep "$warm_up"
  local t0 t1
  t0=$(now)
  for build in "${builds[@]}"; do
    c0[$build]=$(cpu_ns "${pid[$build]}")
    s0[$build]=$(cpu_ns "${server[$build-$size]}")
    k0[$build]=$(counts "$out/$build.count")
  done
  sleep "$seconds"
  t1=$(now)
  for build in "${builds[@]}"; do
    local c1 s1 p0 r0 p1 r1
    c1=$(cpu_ns "${pid[$build]}")
    s1=$(cpu_ns "${server[$build-$size]}")
    read -r _ p0 r0 <<<"${k0[$build]}"
    read -r _ p1 r1 <<<"$(counts "$out/$build.count")"
    awk -v line="$round $program $size $build" -v t0="$t0" -v t1="$t1" \
        'BEGIN { printf "%s %.3f %.0f %.0f %.0f %.0f\n", line, t1 - t0, ARGV[1], ARGV[2], ARGV[3], ARGV[4]; exit }' \
        "$((p1 - p0))" "$((r1 - r0))" "$((c1 - ${c0[$build]}))" "$((s1 - ${s0[$build]}))" >>"$raw"
  done
  for build in "${builds[@]}"; do
    kill "${pid[$build]}"
    wait "${pid[$build]}" 2>/dev/null || true
  done
  program_pids=()
}

load() { cut -d' ' -f1-3 /proc/loadavg; }
load_before=$(load)
for round in $(seq "$rounds"); do
  if [ $((round % 2)) -eq 1 ]; then order=(base this); else order=(this base); fi
  for build in "${order[@]}"; do
    run "$round" standalone 1920x1080 "$build" --
  done
  run "$round" vivuvev 1920x1080 base this -- -root
  run "$round" vivuvev 3840x2160 base this -- -root
done
load_after=$(load)

# Sums over the rounds, per program, size and build.
csv=$out/bench-x11.csv
awk '
  { key = $2 " " $3 " " $4; t[key] += $5; p[key] += $6; k[key] += $7; c[key] += $8; s[key] += $9 }
  function row(program, size, measure, base, this) {
    printf "%s,%s,%s,%.3f,%.3f,%.3f\n", program, size, measure, base, this, (base > 0 ? this / base : 0)
  }
  function share(v, key) { return 100 * v[key] / 1e9 / t[key] }
  END {
    print "program,size,measure,base,this,ratio"
    sb = "standalone 1920x1080 base"; st = "standalone 1920x1080 this"
    row("standalone", "1920x1080", "frames_per_second", k[sb] / t[sb], k[st] / t[st])
    row("standalone", "1920x1080", "presents_per_second", p[sb] / t[sb], p[st] / t[st])
    row("standalone", "1920x1080", "program_cpu_percent", share(c, sb), share(c, st))
    row("standalone", "1920x1080", "server_cpu_percent", share(s, sb), share(s, st))
    for (i = 1; i <= 2; i++) {
      size = i == 1 ? "1920x1080" : "3840x2160"
      mb = "vivuvev " size " base"; mt = "vivuvev " size " this"
      row("module", size, "frames_per_second", p[mb] / t[mb], p[mt] / t[mt])
      row("module", size, "program_cpu_percent", share(c, mb), share(c, mt))
      row("module", size, "cpu_ms_per_frame", c[mb] / 1e6 / p[mb], c[mt] / 1e6 / p[mt])
      row("module", size, "server_cpu_percent", share(s, mb), share(s, mt))
      cpu[i, "base"] = share(c, mb); cpu[i, "this"] = share(c, mt)
    }
    row("module", "3840x2160/1920x1080", "program_cpu_share_ratio", cpu[2, "base"] / cpu[1, "base"],
        cpu[2, "this"] / cpu[1, "this"])
  }' "$raw" >"$csv"

echo "x11 programs on Xvfb at 24 bits, $rounds rounds of ${seconds} s each; base $(git -C "$base_src" rev-parse --short HEAD), this $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD || echo ' (with changes)')"
echo "load average before: $load_before; after: $load_after"
awk -F, 'NR == 1 { printf "%-10s %-19s %-24s %10s %10s %7s\n", "program", "size", "measure", "base", "this", "ratio"; next }
         { printf "%-10s %-19s %-24s %10s %10s %7s\n", $1, $2, $3, $4, $5, $6 }' "$csv"
echo "CSV: $csv"
