#!/bin/sh
# The real monitor as a person uses it: on a private Xvfb with icewm (title
# bars, a taskbar, a tray), fed by the simulator on a pseudo-terminal and
# driven with xdotool. Effects are checked through screenshots and files.
#
#     e2e.sh MONITOR SIMULATOR [SHOTS_DIR]
set -eu
monitor=$1
sim=$2
shots=${3:-$(mktemp -d)}
mkdir -p "$shots"
work=$(mktemp -d)
export HOME="$work" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export QT_QPA_PLATFORM=xcb  # a real window, whatever the other tests use
unset XDG_CONFIG_HOME XDG_DATA_HOME

pids=""
cleanup() {
  for p in $pids; do kill "$p" 2>/dev/null || true; done
  for p in $pids; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
fail() {
  echo "e2e: FAILED: $*" >&2
  for log in "$shots/icewm.log" "$work/monitor.log" "$work/sim.out"; do
    [ -s "$log" ] && sed "s|^|e2e: $(basename "$log"): |" "$log" >&2
  done
  import -window root "$shots/failed.png" 2>/dev/null || true
  echo "e2e: the screen is in $shots/failed.png" >&2
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

display=90
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
# Without -noreset the server starts over whenever its last client leaves,
# and a client that connects just then (the window manager after the check
# below) is refused.
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids="$pids $!"
within 50 xdpyinfo || fail "Xvfb did not start"
# Its own texts need no Russian locale; what it says is kept for a failure.
LANG=C.UTF-8 LC_ALL=C.UTF-8 icewm >"$shots/icewm.log" 2>&1 &
wm=$!
pids="$pids $wm"
# xprop succeeds also when the property is missing: look for the window.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
within 50 wm_running || fail "icewm did not start"
sleep 1  # its tray comes up just after it

"$sim" --period 200 >"$work/sim.out" 2>&1 &
pids="$pids $!"
within 50 test -s "$work/sim.out" || fail "the simulator did not start"
tty=$(head -n 1 "$work/sim.out")

cp "$monitor" "$work/incubator-monitor"
cat >"$work/incubator-monitor.ini" <<INI
[ComPort1]
Port=$tty
OpenStart=1
[Form]
Left=100
Top=100
[LogFile]
Time=1
INI
(cd "$work" && exec ./incubator-monitor >"$work/monitor.log" 2>&1) &
monitor_pid=$!
pids="$pids $monitor_pid"

windows() { xdotool search --onlyvisible --class incubator-monitor 2>/dev/null || true; }
# The program's window of that title.
named() {
  for w in $(windows); do
    [ "$(xdotool getwindowname "$w")" = "$1" ] && echo "$w" && return 0
  done
  return 1
}
# A balloon: a window of the program, wider than the tray icon, untitled.
balloon() {
  for w in $(windows); do
    [ "$w" != "$W" ] || continue
    eval "$(xdotool getwindowgeometry --shell "$w" | sed 's/^/B/')"
    [ "$BWIDTH" -gt 100 ] && echo "$w" && return 0
  done
  return 1
}
within 100 named "Монитор инкубатора" || fail "no main window"
W=$(named "Монитор инкубатора")
# The tray icon: a small window of the program, docked in icewm's tray.
tray_icon() {
  for w in $(windows); do
    eval "$(xdotool getwindowgeometry --shell "$w" | sed 's/^/T/')"
    [ "$TWIDTH" -le 32 ] && return 0
  done
  return 1
}
if ! within 100 tray_icon; then
  if kill -0 "$wm" 2>/dev/null; then fail "no tray icon"; fi
  # The window manager, not the program, went away (seen once on a CI
  # machine): say so with its exit status, start it again, and the program
  # must dock its icon in the new tray as it would after a desktop restart.
  status=0
  wait "$wm" || status=$?
  echo "e2e: icewm ended with status $status; started again"
  sed 's/^/e2e: icewm.log: /' "$shots/icewm.log"
  LANG=C.UTF-8 LC_ALL=C.UTF-8 icewm >>"$shots/icewm.log" 2>&1 &
  wm=$!
  pids="$pids $wm"
  within 100 tray_icon || fail "no tray icon after icewm started again"
fi
eval "$(xdotool getwindowgeometry --shell "$W")"  # X, Y of the client area

# Pixels of the T1 value panel: how many are alarm red, how many dark (text).
panel() {
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "60x60+$((X + 327))+$((Y + 409))" +repage "$work/panel.png"
}
red_pixels() {
  panel
  convert "$work/panel.png" -fuzz 15% -fill black +opaque "#ff0000" -fill white -opaque "#ff0000" \
    -format "%[fx:round(mean*w*h)]" info:
}
dark_pixels() {
  panel
  convert "$work/panel.png" -colorspace gray -threshold 40% -negate -format "%[fx:round(mean*w*h)]" info:
}
is_red() { [ "$(red_pixels)" -gt 1000 ]; }
has_text() { [ "$(dark_pixels)" -gt 20 ]; }

step "live values"
within 100 has_text || fail "the T1 panel shows no value"
import -window root "$shots/1-live.png"

# Clicks into a box of the window (client coordinates) and types a number.
type_into() {
  xdotool mousemove --window "$W" "$1" "$2" click --repeat 3 1
  xdotool key ctrl+a
  xdotool type "$3"
  xdotool key Return
}

step "an excursion: T1's upper limit typed below the incubator's temperature"
type_into 286 430 30
within 100 is_red || fail "the T1 panel does not turn red"
within 50 balloon || fail "no balloon appeared"
import -window root "$shots/2-alarm.png"
blinked=0
for _ in 1 2 3 4 5 6 7 8 9 10; do
  is_red || blinked=1
  sleep 0.2
done
[ "$blinked" -eq 1 ] || fail "the T1 panel is red but does not blink"

step "the limit put back and the alarm reset with a double click on its panel"
type_into 286 430 39
xdotool mousemove --window "$W" 357 441 click --repeat 2 --delay 80 1
sleep 1
for _ in 1 2 3 4 5 6 7 8 9 10; do
  ! is_red || fail "the alarm is still on after the reset"
  sleep 0.2
done
import -window root "$shots/3-reset.png"

# A command of the "Файл" menu, then a path typed into the file dialog.
file_command() {
  xdotool mousemove --window "$W" 26 8 click 1
  sleep 0.5
  xdotool mousemove --window "$W" 60 "$1" click 1
  sleep 1
  xdotool key ctrl+a
  xdotool type --delay 5 "$2"
  xdotool key Return
}

step "saved with \"Сохранить как..\""
file_command 51 "$work/saved.txt"
within 50 test -s "$work/saved.txt" || fail "nothing was saved"
saved_lines=$(grep -c "^T1=" "$work/saved.txt")
[ "$saved_lines" -gt 10 ] || fail "only $saved_lines record lines were saved"
grep -q "^T1=3[5-9],[0-9]  T2=" "$work/saved.txt" || fail "saved lines are no record lines"

step "opened again with \"Открыть..\", and closed: the question answered \"Да\""
file_command 29 "$work/saved.txt"
sleep 1
xdotool windowactivate --sync "$W" key alt+F4
within 50 named "Завершение работы" || fail "no close question"
import -window root "$shots/4-question.png"
xdotool key Return
sleep 1
xdotool key ctrl+a
xdotool type --delay 5 "$work/final.txt"
xdotool key Return
within 100 sh -c "! kill -0 $monitor_pid" || fail "the program did not end"
within 20 test -s "$work/final.txt" || fail "the journal was not saved at the close"

step "the files"
size=$(wc -c <"$work/saved.txt")
cmp -s -n "$size" "$work/saved.txt" "$work/final.txt" ||
  fail "the journal saved at the close does not begin with the file opened"
[ "$(grep -c "^T1=" "$work/final.txt")" -gt "$saved_lines" ] || fail "no new lines after the open"
ini="$work/incubator-monitor.ini"
for key in "Port=$tty" "T1_HI=390" "Left=100" "Top=100" "Width=584" "Height=583"; do
  grep -qx "$key" "$ini" || fail "the settings file lacks $key"
done
day="$work/log/$(date +%Y-%m-%d).txt"
[ -f "$day" ] || day=$(ls "$work"/log/*.txt | tail -n 1)
day_lines=$(grep -c "^T1=" "$day" || true)
[ "$day_lines" -ge "$(grep -c "^T1=" "$work/final.txt")" ] ||
  fail "the day file holds $day_lines lines, fewer than the journal"
step "passed: $saved_lines lines saved, $day_lines in the day file; screenshots in $shots"
