#!/usr/bin/env bash
# cmake --install puts the programs under their installed names, the module,
# its config file and the desktop entries where a desktop and a screensaver
# daemon look for them, and the installed programs run. The full list of files
# is checked on the package (debian_package_test.sh).
# Usage: install_test.sh BUILD_DIR
set -u
build=$1
. "$(dirname "$0")/check_lib.sh"

cmake --install "$build" --prefix "$work/usr" >"$work/install.log" 2>&1 || fail "install failed: $(tail -3 "$work/install.log")"
for f in bin/vivuvev-saver bin/vivuvev-standalone bin/vivuvev-render libexec/xscreensaver/vivuvev; do
  [ -x "$work/usr/$f" ] || fail "$f is not installed as a program"
done
for f in share/xscreensaver/config/vivuvev.xml share/applications/vivuvev.desktop \
         share/applications/screensavers/vivuvev.desktop share/man/man6/vivuvev.6.gz; do
  [ -s "$work/usr/$f" ] || fail "$f is not installed"
done
grep -q '^Exec=vivuvev-standalone$' "$work/usr/share/applications/vivuvev.desktop" || fail "the desktop entry does not start vivuvev-standalone"
grep -q '<screensaver name="vivuvev"' "$work/usr/share/xscreensaver/config/vivuvev.xml" || fail "the config file does not describe vivuvev"
grep -q 'arg="-delay %"' "$work/usr/share/xscreensaver/config/vivuvev.xml" || fail "the config file does not set -delay"
grep -q 'arg-set="-fps"' "$work/usr/share/xscreensaver/config/vivuvev.xml" || fail "the config file has no frame-rate checkbox"
gzip -dc "$work/usr/share/man/man6/vivuvev.6.gz" | grep -q '^\.TH VIVUVEV 6' || fail "the module's manual page is not in section 6"

env -u DISPLAY "$work/usr/bin/vivuvev-saver" /p 1234
status=$?
[ "$status" -eq 0 ] || fail "installed vivuvev-saver /p exited $status"
"$work/usr/bin/vivuvev-render" --version | grep -qx 'vivuvev-render 2.0' || fail "installed vivuvev-render --version"
# The installed vivuvev-render finds its video writer.
"$work/usr/bin/vivuvev-render" --size 64x48 --frames 2 --video "$work/clip.gif" >"$work/video.log" 2>&1 ||
  fail "installed vivuvev-render writes no video: $(cat "$work/video.log")"
"$work/usr/libexec/xscreensaver/vivuvev" -h | grep -q '^usage: vivuvev' || fail "installed vivuvev -h prints no usage"

report
