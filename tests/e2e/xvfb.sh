# Sourced by the tests that need an X server: start_xvfb starts a private
# Xvfb on the first free display of 61-79 and exports DISPLAY; stop_xvfb ends
# it by its process id. Only what was started here is ever ended.
xvfb_pid=""

start_xvfb() {  # start_xvfb WxHxDEPTH
  local screen=$1 n
  for n in $(seq 61 79); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    local tries
    for tries in $(seq 50); do
      if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
      # The display answers, and its lock names our server: another test
      # that picked the same number at the same moment has lost the race.
      if xdpyinfo -display ":$n" >/dev/null 2>&1 &&
         [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb_pid" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  echo "no free X display in 61-79" >&2
  return 1
}

stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  xvfb_pid=""
}
