# Shared by the end-to-end scripts: a scratch folder, $work, removed on exit;
# fail, which counts a failed check and says why; as_user and sanitized; and
# report, which ends a script with the line the test log shows and its status.

failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# as_user COMMAND...: runs the command as an unprivileged user: as nobody when
# the tests run as root (as CI does), where permissions would not hold.
as_user() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

# sanitized BINARY: the binary carries AddressSanitizer, which neither takes a
# limit on its address space nor runs without /proc.
sanitized() { ldd "$1" 2>/dev/null | grep -q libasan; }

report() {
  echo "$((failures == 0 ? 1 : 0)) passed, $((failures > 0 ? 1 : 0)) failed"
  [ "$failures" -eq 0 ]
}
