#!/usr/bin/env bash
# The tools explain themselves: --help prints the usage on stdout and exits 0,
# --version prints "NAME 2.0" and exits 0, both write no file. vivuvev-bench
# refuses a CSV file it cannot write before it measures anything.
# Usage: tool_command_line_test.sh VIVUVEV_RENDER VIVUVEV_BENCH
set -u
render=$1
bench=$2
. "$(dirname "$0")/check_lib.sh"
cd "$work" || exit 1

for tool in "$render" "$bench"; do
  name=$(basename "$tool")
  "$tool" --help >out 2>err
  status=$?
  [ "$status" -eq 0 ] || fail "$name --help exited $status"
  head -1 out | grep -q "^usage: $name " || fail "$name --help: $(head -1 out)"
  grep -q -- '--version' out || fail "$name --help does not mention --version"
  [ -s err ] && fail "$name --help wrote on stderr: $(cat err)"
  "$tool" --version >out 2>err
  status=$?
  [ "$status" -eq 0 ] || fail "$name --version exited $status"
  [ "$(cat out)" = "$name 2.0" ] || fail "$name --version printed '$(cat out)'"
  [ -s err ] && fail "$name --version wrote on stderr: $(cat err)"
  "$tool" --colour=red >out 2>err
  status=$?
  [ "$status" -eq 2 ] || fail "$name with an unknown option exited $status"
done
[ "$(ls -A | sort | tr '\n' ' ')" = "err out " ] || fail "the tools wrote $(ls -A | tr '\n' ' ')"

# The bench refuses at once: nothing measured, nothing printed on stdout.
"$bench" --csv=missing/results.csv --seconds 0.01 >out 2>err
status=$?
[ "$status" -eq 2 ] || fail "bench with an unwritable CSV exited $status"
grep -q "cannot write 'missing/results.csv'" err || fail "bench did not name the CSV file: $(cat err)"
grep -q measured err && fail "bench measured before refusing the CSV file"
[ -s out ] && fail "bench printed results: $(cat out)"

report
