#!/usr/bin/env bash
# cmake --install puts the programs, the module, its config file and the
# desktop entry where a desktop and a screensaver daemon look for them, and
# the installed programs run. Usage: install_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$work/usr" >"$work/install.log" 2>&1 || fail "install failed: $(tail -3 "$work/install.log")"
for f in bin/saver bin/standalone libexec/xscreensaver/vivuvev; do
  [ -x "$work/usr/$f" ] || fail "$f is not installed as a program"
done
for f in share/xscreensaver/config/vivuvev.xml share/applications/vivuvev.desktop; do
  [ -s "$work/usr/$f" ] || fail "$f is not installed"
done
grep -q '^Exec=standalone$' "$work/usr/share/applications/vivuvev.desktop" || fail "the desktop entry does not start standalone"
grep -q '<screensaver name="vivuvev"' "$work/usr/share/xscreensaver/config/vivuvev.xml" || fail "the config file does not describe vivuvev"
grep -q 'arg="-delay %"' "$work/usr/share/xscreensaver/config/vivuvev.xml" || fail "the config file does not set -delay"
count=$(find "$work/usr" -type f | wc -l)
[ "$count" -eq 5 ] || fail "installed $count files, expected 5: $(find "$work/usr" -type f)"

env -u DISPLAY "$work/usr/bin/saver" /p 1234
status=$?
[ "$status" -eq 0 ] || fail "installed saver /p exited $status"
"$work/usr/libexec/xscreensaver/vivuvev" -h | grep -q '^usage: vivuvev' || fail "installed vivuvev -h prints no usage"

echo "$((failures == 0 ? 1 : 0)) passed, $((failures > 0 ? 1 : 0)) failed"
[ "$failures" -eq 0 ]
