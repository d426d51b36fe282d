#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time on a scratch copy of its seed
# corpus, so the committed corpus is never written to. Any finding (crash,
# failed property, leak, timeout) fails the test; its input is kept in the
# findings directory and shown in hex, ready to become a unit test.
# Usage: run_fuzzer.sh FUZZER CORPUS SECONDS FINDINGS_DIR
set -u
fuzzer=$1 corpus=$2 seconds=$3 findings=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/corpus" "$scratch/artifacts"
cp "$corpus"/* "$scratch/corpus/" || exit 1

"$fuzzer" -max_total_time="$seconds" -max_len=1024 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$scratch/artifacts/" "$scratch/corpus" \
  >"$scratch/log" 2>&1
status=$?
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::new_units_added)' "$scratch/log"
if [ "$status" -eq 0 ] && [ -z "$(ls -A "$scratch/artifacts")" ]; then
  echo "fuzz: no finding in ${seconds}s"
  exit 0
fi
tail -n 60 "$scratch/log"
mkdir -p "$findings"
for artifact in "$scratch/artifacts"/*; do
  [ -e "$artifact" ] || continue
  cp "$artifact" "$findings/"
  echo "finding kept as $findings/$(basename "$artifact"):"
  od -A d -t x1z "$artifact" | head -n 40
done
echo "fuzz: FAILED (exit $status)"
exit 1
