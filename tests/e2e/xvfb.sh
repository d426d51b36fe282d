# Sourced by the tests that need an X server: start_xvfb starts a private
# Xvfb on the first free display of 41-79 and exports DISPLAY; stop_xvfb ends
# it by its process id. Only what was started here is ever ended.
#
# -noreset: a server that resets when its last client leaves refuses the next
# program's connection for a moment.
xvfb_pid=""

start_xvfb() {  # start_xvfb WxHxDEPTH [Xvfb options...]
  local screen=$1 n
  shift
  for n in $(seq 41 79); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset "$@" >/dev/null 2>&1 &
    xvfb_pid=$!
    local tries
    for tries in $(seq 100); do
      if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
      # The display answers, and its lock names our server: another test
      # that picked the same number at the same moment has lost the race.
      if xdpyinfo -display ":$n" >/dev/null 2>&1 &&
         [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb_pid" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.05
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  echo "no free X display in 41-79" >&2
  return 1
}

stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  xvfb_pid=""
}
