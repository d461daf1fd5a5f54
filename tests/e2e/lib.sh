# What the end-to-end scripts share: a folder of their own, processes ended
# at the exit, waiting for a condition, failing with the logs, a private X
# display. Sourced after `work`, `shots` and `logs` (files shown on failure)
# are set.

pids=""
cleanup() {
  for p in $pids; do kill "$p" 2>/dev/null || true; done
  for p in $pids; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
fail() {
  echo "e2e: FAILED: $*" >&2
  for log in $logs; do
    [ -s "$log" ] && sed "s|^|e2e: $(basename "$log"): |" "$log" >&2
  done
  if [ -n "${DISPLAY:-}" ]; then
    import -window root "$shots/failed.png" 2>/dev/null || true
    echo "e2e: the screen is in $shots/failed.png" >&2
  fi
  exit 1
}
step() { echo "e2e: $*"; }
# Runs the command until it succeeds, for at most $1 tenths of a second.
within() {
  tenths=$1
  shift
  while ! "$@" >/dev/null 2>&1; do
    tenths=$((tenths - 1))
    [ "$tenths" -gt 0 ] || return 1
    sleep 0.1
  done
}

# A display of its own, 1280 x 800, on a number the server picks free (two
# tests may start at once).
start_xvfb() {
  # Without -noreset the server starts over whenever its last client
  # leaves, and a client that connects just then is refused.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset \
    3>"$work/display" >/dev/null 2>&1 &
  pids="$pids $!"
  within 50 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$work/display")"
  within 50 xdpyinfo || fail "Xvfb does not answer"
}
# xprop succeeds also when the property is missing: look for the window.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }

# The simulator on a pseudo-terminal; $tty is its device.
start_simulator() {
  "$sim" --period 200 >"$work/sim.out" 2>&1 &
  pids="$pids $!"
  within 50 test -s "$work/sim.out" || fail "the simulator did not start"
  tty=$(head -n 1 "$work/sim.out")
}
# The monitor run from a copy in $work, beside the settings file given on
# standard input; $monitor_pid is its process.
start_monitor() {
  cp "$monitor" "$work/incubator-monitor"
  cat >"$work/incubator-monitor.ini"
  (cd "$work" && exec ./incubator-monitor >"$work/monitor.log" 2>&1) &
  monitor_pid=$!
  pids="$pids $monitor_pid"
}
windows() { xdotool search --onlyvisible --class incubator-monitor 2>/dev/null || true; }
# The program's window of that title.
named() {
  for w in $(windows); do
    [ "$(xdotool getwindowname "$w")" = "$1" ] && echo "$w" && return 0
  done
  return 1
}
