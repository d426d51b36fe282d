#!/usr/bin/env bash
# vivuvev inside the real XScreenSaver daemon on a private Xvfb: a
# ~/.xscreensaver whose only program is the module with --root, the daemon
# activated with xscreensaver-command shows rings, and deactivating it ends
# the module. The daemon refuses to run its modules as root, so as root it
# runs as nobody, with a private HOME and the module copied where nobody can
# run it. Usage: xscreensaver_daemon_test.sh VIVUVEV
set -u
. "$(dirname "$0")/x11_lib.sh"
start_display 24 800x600

# Everything the daemon's user reads lives under $work.
chmod 755 "$work"
home=$work/home
mkdir -p "$home" "$work/bin"
module=$work/bin/vivuvev
cp "$1" "$module"
chmod 755 "$work/bin" "$module"
cat >"$home/.xscreensaver" <<CONFIG
mode:		one
selected:	0
timeout:	0:30:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
programs:	"Vivuvev" $module --root \\n
CONFIG
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody "$home"
  as_user=(runuser -u nobody --)
fi
(cd "$home" && exec "${as_user[@]}" env HOME="$home" DISPLAY="$DISPLAY" xscreensaver -no-splash -verbose) \
  >"$work/daemon.out" 2>"$work/daemon.err" &
started_pids+=("$!")

# The module's process, if it runs.
module_pid() { ps -eo pid=,args= | awk -v m="$module" '$2 == m { print $1; exit }'; }
module_runs() { [ -n "$(module_pid)" ]; }

within 10 xscreensaver-command -time || fail "the daemon does not answer: $(tail -3 "$work/daemon.err")"
xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
if within 10 module_runs; then
  pid=$(module_pid)
  sleep 3
  shows_rings "the screen while the daemon runs vivuvev" module-in-daemon
  xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
  within 5 ended "$pid" || fail "vivuvev still runs 5 s after -deactivate"
else
  fail "the daemon did not start vivuvev: $(grep -i vivuvev "$work/daemon.err" | tail -3)"
fi
xscreensaver-command -exit >/dev/null 2>&1
report
