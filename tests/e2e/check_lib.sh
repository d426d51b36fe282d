# Shared by the end-to-end scripts: a scratch folder, $work, removed on exit;
# fail, which counts a failed check and says why; and report, which ends a
# script with the line the test log shows and its status.

failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

report() {
  echo "$((failures == 0 ? 1 : 0)) passed, $((failures > 0 ? 1 : 0)) failed"
  [ "$failures" -eq 0 ]
}
