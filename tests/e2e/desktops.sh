#!/bin/sh
# The monitor's warnings on the desktops operators run, each from Debian's
# packages on a display and a session bus of the test's own, fed by the
# simulator:
#
#   xfce     xfwm4 and xfce4-panel, whose tray is a StatusNotifier host, with
#            xfce4-notifyd
#   notray   icewm without its tray, with xfce4-notifyd
#   wayland  weston's headless compositor and no tray, the program on Qt's
#            Wayland platform, xfce4-notifyd on Wayland too
#
# Notifications are counted on the bus with dbus-monitor.
#
#     desktops.sh MODE MONITOR SIMULATOR [SHOTS_DIR]
set -eu
mode=$1
monitor=$2
sim=$3
shots=${4:-$(mktemp -d)}
mkdir -p "$shots"
work=$(mktemp -d)
logs="$work/monitor.log $work/sim.out $work/desktop.log $work/notifications.log"
. "$(dirname "$0")/lib.sh"

export HOME="$work" XDG_CONFIG_HOME="$work/.config" XDG_CACHE_HOME="$work/.cache"
export XDG_RUNTIME_DIR="$work/runtime" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
unset XDG_DATA_HOME DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# The session bus, started once the display is known, so that what it
# starts finds the display.
start_bus() {
  dbus-daemon --session --nofork --nopidfile --print-address=1 >"$work/bus.address" 2>&1 &
  pids="$pids $!"
  within 50 test -s "$work/bus.address" || fail "dbus-daemon did not start"
  DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus.address")
  export DBUS_SESSION_BUS_ADDRESS
  dbus-monitor --session "interface='org.freedesktop.Notifications'" \
    >"$work/notifications.log" 2>&1 &
  pids="$pids $!"
  dbus-monitor --session "member='Hello'" >"$work/hello.log" 2>&1 &
  pids="$pids $!"
  sleep 0.5
}
start_notifications() {
  /usr/lib/x86_64-linux-gnu/xfce4/notifyd/xfce4-notifyd >>"$work/desktop.log" 2>&1 &
  pids="$pids $!"
  within 50 gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner org.freedesktop.Notifications |
    grep -q true || true
}
count() { grep -c "member=$1\$" "$work/notifications.log" || true; }
# The replaces_id of every Notify call, on one line.
replaced_ids() {
  grep -A2 "member=Notify\$" "$work/notifications.log" | grep uint32 | awk '{print $2}' | tr '\n' ' '
}
# Connections opened to the bus so far (the test opens none while it
# counts the monitor's).
connections() { grep -c "member=Hello\$" "$work/hello.log" || true; }
# The monitor's settings: the port, and T1's upper limit below the
# incubator's temperature so that every frame is an alarm.
settings() {
  cat <<INI
[ComPort1]
Port=$tty
OpenStart=1
[Form]
Left=100
Top=100
Width=584
Height=583
StartInTrey=${1:-0}
MinToTrey=1
[Alarm]
T1_HI=${2:-300}
INI
}
# A click on the notification's "Показать" button, at its lower right.
click_notification() {
  nw=$(xdotool search --onlyvisible --class xfce4-notifyd 2>/dev/null | tail -n 1)
  [ -n "$nw" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$nw" | sed 's/^/N/')"
  xdotool mousemove $((NX + NWIDTH - 58)) $((NY + NHEIGHT - 31)) click 1
}
shown() { named "Монитор инкубатора" >/dev/null; }

case $mode in
xfce)
  start_xvfb
  start_bus
  conf="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
  mkdir -p "$conf"
  # One panel along the bottom with the tray alone, so that the icon is at
  # its left end; a panel in the file spares its first-start dialog.
  cat >"$conf/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=8;x=640;y=786"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="28"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
  xfwm4 >>"$work/desktop.log" 2>&1 &
  pids="$pids $!"
  within 50 wm_running || fail "xfwm4 did not start"
  xfce4-panel >>"$work/desktop.log" 2>&1 &
  pids="$pids $!"
  host() {
    gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
      -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
      IsStatusNotifierHostRegistered | grep -q true
  }
  within 100 host || fail "xfce4-panel has no StatusNotifier tray"
  start_notifications
  start_simulator
  settings 1 >"$work/settings"
  opened=$(connections)
  start_monitor <"$work/settings"

  step "started in the StatusNotifier tray, a T1 alarm for 20 s: one notification"
  sleep 20
  ! shown || fail "the window started in the tray is on screen"
  notices=$(count Notify)
  ids=$(replaced_ids)
  connections=$(($(connections) - opened))
  step "$notices notification(s) in 20 s (replaces_id: $ids), $connections bus connection(s)"
  [ "$notices" -eq 1 ] || fail "$notices notifications in 20 s of alarm"
  [ "$connections" -eq 1 ] || fail "the monitor opened $connections bus connections"
  import -window root "$shots/xfce-1-alarm.png"

  item=$(gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
    -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
    RegisteredStatusNotifierItems | grep -o ":[0-9.]*" | head -n 1)
  [ -n "$item" ] || fail "no item in the tray"
  # gdbus writes the labels as they are in a UTF-8 locale only.
  menu_id() {
    LC_ALL=C.UTF-8 gdbus call --session -d "$item" -o /MenuBar -m com.canonical.dbusmenu.GetLayout 0 -- -1 '[]' |
      grep -o "([0-9]*, {[^}]*'label': <'$1'>" | grep -o "^([0-9]*" | tr -d '('
  }
  menu_event() {
    gdbus call --session -d "$item" -o /MenuBar -m com.canonical.dbusmenu.Event \
      "$(menu_id "$1")" clicked '<0>' 0 >/dev/null
  }

  # Clicks into a box of the window (client coordinates) and types a number.
  type_into() {
    xdotool windowactivate --sync "$W"
    xdotool mousemove --window "$W" "$1" "$2" click --repeat 3 1
    xdotool key ctrl+a
    xdotool type "$3"
    xdotool key Return
  }

  step "the tray's click shows the window"
  gdbus call --session -d "$item" -o /StatusNotifierItem \
    -m org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
  within 50 shown || fail "Activate on the icon did not show the window"
  W=$(named "Монитор инкубатора")

  step "the limit put back and the alarm reset: the notification is withdrawn"
  type_into 286 430 39
  sleep 0.5
  xdotool mousemove --window "$W" 357 441 click --repeat 2 --delay 80 1
  within 50 sh -c "[ \$(grep -c 'member=CloseNotification\$' '$work/notifications.log') -ge 1 ]" ||
    fail "the reset left the notification on screen"
  before=$(count Notify)
  sleep 3
  [ "$(count Notify)" -eq "$before" ] || fail "a notification came after the reset"

  step "a new alarm, \"Скрыть\" from the tray's menu, the notification's \"Показать\""
  type_into 286 430 30
  within 50 sh -c "[ \$(grep -c 'member=Notify\$' '$work/notifications.log') -gt $before ]" ||
    fail "no notification for the new alarm"
  menu_event "Скрыть"
  within 50 sh -c "! xdotool search --onlyvisible --class incubator-monitor | grep -q ." ||
    fail "\"Скрыть\" did not hide the window"
  sleep 1
  click_notification || fail "no notification on screen"
  within 50 shown || fail "a click on the notification did not show the window"

  step "the icon's menu in the panel, \"Показать\" from it"
  menu_event "Скрыть"
  sleep 0.5
  xdotool mousemove 20 786 click 3
  sleep 1
  import -window root "$shots/xfce-2-menu.png"
  xdotool key Down Return
  within 50 shown || fail "\"Показать\" of the panel's menu did not show the window"

  step "\"Выход\" of the tray's menu asks the close question; \"Нет\" ends the program"
  menu_event "Выход"
  within 50 named "Завершение работы" || fail "no close question"
  import -window root "$shots/xfce-3-question.png"
  xdotool windowactivate --sync "$(named "Завершение работы")"
  xdotool key Tab  # from "Да" to "Нет"
  start=$(date +%s%N)
  xdotool key space
  within 50 sh -c "! kill -0 $monitor_pid" || fail "the program did not end after \"Нет\""
  step "ended $((($(date +%s%N) - start) / 1000000)) ms after \"Нет\""
  ;;

notray)
  start_xvfb
  start_bus
  mkdir -p "$HOME/.icewm"
  echo "TaskBarEnableSystemTray=0" >"$HOME/.icewm/preferences"
  LANG=C.UTF-8 LC_ALL=C.UTF-8 icewm >>"$work/desktop.log" 2>&1 &
  pids="$pids $!"
  within 50 wm_running || fail "icewm did not start"
  start_notifications
  start_simulator
  # Started in the tray and minimising to it, asked for where there is no
  # tray: the window stays.
  settings 1 390 >"$work/settings"
  start_monitor <"$work/settings"
  within 100 shown || fail "without a tray the window must be on screen"
  W=$(named "Монитор инкубатора")

  step "an alarm while the window is active: the status bar, no notification"
  xdotool windowactivate --sync "$W"
  xdotool mousemove --window "$W" 286 430 click --repeat 3 1
  xdotool key ctrl+a
  xdotool type 30
  xdotool key Return
  sleep 3
  [ "$(count Notify)" -eq 0 ] || fail "a notification while the window is active"

  step "minimised: one notification, and the window stays on the taskbar"
  xdotool windowminimize --sync "$W"
  sleep 10
  [ "$(count Notify)" -eq 1 ] || fail "$(count Notify) notifications for a minimised window"
  xprop -id "$W" WM_STATE | grep -q Iconic || fail "the minimised window is not on the taskbar"
  import -window root "$shots/notray-1-alarm.png"
  click_notification || fail "no notification on screen"
  within 50 sh -c "xprop -id $W WM_STATE | grep -q Normal" ||
    fail "a click on the notification did not bring the window back"
  ;;

wayland)
  export WAYLAND_DISPLAY=wayland-e2e QT_QPA_PLATFORM=wayland GDK_BACKEND=wayland
  mkdir -p "$XDG_CONFIG_HOME"
  # No on-screen keyboard; the pixel renderer lets the screenshot tool read
  # the screen.
  printf '[core]\nidle-time=0\n[input-method]\npath=/bin/true\n' >"$XDG_CONFIG_HOME/weston.ini"
  weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" \
    --width=1280 --height=800 --debug >>"$work/desktop.log" 2>&1 &
  pids="$pids $!"
  within 50 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start"
  start_bus
  start_notifications
  start_simulator
  settings 0 >"$work/settings"
  start_monitor <"$work/settings"

  step "an alarm in a window that is not active: one notification in 15 s"
  sleep 15
  [ "$(count Notify)" -eq 1 ] || fail "$(count Notify) notifications in 15 s"
  (cd "$shots" && rm -f wayland-screenshot-*.png && timeout 10 weston-screenshooter &&
    mv wayland-screenshot-*.png wayland-1-alarm.png) || fail "no screenshot"
  ! grep -q "QObject::connect" "$work/monitor.log" || fail "warnings on standard error"

  step "ended by a signal: the place in the settings is kept, not 0, 0"
  kill -TERM "$monitor_pid"
  within 50 sh -c "! kill -0 $monitor_pid" || fail "the program did not end"
  grep -qx "Left=100" "$work/incubator-monitor.ini" && grep -qx "Top=100" "$work/incubator-monitor.ini" ||
    fail "the window's place was not kept"
  ;;

*)
  echo "usage: desktops.sh xfce|notray|wayland MONITOR SIMULATOR [SHOTS_DIR]" >&2
  exit 2
  ;;
esac
step "passed ($mode); screenshots in $shots"
