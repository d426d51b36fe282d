#!/usr/bin/env bash
# Measures the real x11 programs of this tree against those of BASE_REV, in
# one run on one private Xvfb at 1920x1080x24:
# - standalone: presents per second over 10 s, counted from outside by a
#   preloaded library (scripts/present_counter.c) that counts an XSync after
#   puts as one present, however many rectangles the puts sent;
# - the module (vivuvev -root, default -delay): its share of a core and the
#   X server's over 10 s, from /proc.
# Each program runs 2 s before it is measured. BASE_REV is built in a git
# worktree under build/bench-x11 (not committed); this tree is built with the
# native preset. Prints a table and writes build/bench-x11/bench-x11.csv.
# Usage: scripts/bench-x11.sh [BASE_REV, default f80e755]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base_rev=${1:-f80e755}
out=$root/build/bench-x11
seconds=10
warm_up=2
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

. "$root/tests/e2e/xvfb.sh"
program_pid=""
cleanup() {
  if [ -n "$program_pid" ]; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  stop_xvfb
}
trap cleanup EXIT
start_xvfb 1920x1080x24

ticks_per_second=$(getconf CLK_TCK)
ticks() {  # user + system ticks of a process so far
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}
presents() {  # presents counted so far in counter file $1
  od -An -t u8 -j 8 -N 8 "$1" 2>/dev/null | tr -d ' ' || echo 0
}
now() { date +%s.%N; }

# measure LABEL COMMAND...: runs the program, then prints
# "presents-per-second program-cpu-percent server-cpu-percent" over the window.
measure() {
  local counter=$out/$1.count
  shift
  rm -f "$counter"
  LD_PRELOAD=$out/present_counter.so PRESENT_COUNTER_FILE=$counter "$@" >/dev/null 2>&1 &
  program_pid=$!
  sleep "$warm_up"
  local t0 p0 s0 f0 t1 p1 s1 f1
  t0=$(now) p0=$(ticks "$program_pid") s0=$(ticks "$xvfb_pid") f0=$(presents "$counter")
  sleep "$seconds"
  t1=$(now) p1=$(ticks "$program_pid") s1=$(ticks "$xvfb_pid") f1=$(presents "$counter")
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  awk -v dt0="$t0" -v dt1="$t1" -v f="$((f1 - f0))" -v p="$((p1 - p0))" \
      -v s="$((s1 - s0))" -v hz="$ticks_per_second" \
      'BEGIN { d = dt1 - dt0; printf "%.1f %.2f %.2f\n", f / d, 100 * p / hz / d, 100 * s / hz / d }'
}

read -r base_fps base_cpu base_server <<<"$(measure base-standalone "$out/base-build/bin/standalone")"
read -r this_fps this_cpu this_server <<<"$(measure this-standalone "$root/build/native/bin/standalone")"
# The module in a build tree: where it is installed (libexec/xscreensaver), or
# in bin/ in older trees.
module_in() {
  if [ -x "$1/libexec/xscreensaver/vivuvev" ]; then echo "$1/libexec/xscreensaver/vivuvev"; else echo "$1/bin/vivuvev"; fi
}
read -r base_mfps base_mcpu base_mserver <<<"$(measure base-module "$(module_in "$out/base-build")" -root)"
read -r this_mfps this_mcpu this_mserver <<<"$(measure this-module "$(module_in "$root/build/native")" -root)"

csv=$out/bench-x11.csv
{
  echo "program,measure,base,this,ratio"
  echo "standalone,presents_per_second,$base_fps,$this_fps"
  echo "standalone,program_cpu_percent,$base_cpu,$this_cpu"
  echo "standalone,server_cpu_percent,$base_server,$this_server"
  echo "module,presents_per_second,$base_mfps,$this_mfps"
  echo "module,program_cpu_percent,$base_mcpu,$this_mcpu"
  echo "module,server_cpu_percent,$base_mserver,$this_mserver"
} | awk -F, 'NR == 1 { print; next } { printf "%s,%s,%s,%s,%.3f\n", $1, $2, $3, $4, ($3 > 0 ? $4 / $3 : 0) }' >"$csv"
echo "x11 programs on Xvfb 1920x1080x24, ${seconds} s each; base $(git -C "$base_src" rev-parse --short HEAD), this $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD || echo ' (with changes)')"
awk -F, 'NR == 1 { printf "%-11s %-20s %10s %10s %7s\n", "program", "measure", "base", "this", "ratio"; next }
         { printf "%-11s %-20s %10s %10s %7s\n", $1, $2, $3, $4, $5 }' "$csv"
echo "CSV: $csv"
