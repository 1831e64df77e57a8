#!/bin/bash
# The Linux tests on private X servers of their own, once under each window
# manager users have here: openbox, and XFCE's xfwm4 with picom compositing
# the notes' translucency. Beside the notes, another program's window, which
# also keeps a 40-pixel band along the bottom free, as a panel does. Runs
# the build of the `linux` preset. Stops only what it started; a server
# keeps the root's properties when their first client goes (-noreset).
set -uo pipefail
cd "$(dirname "$0")/../.."
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8

tmp=$(mktemp -d)
pids=()
stop() {
  for p in "${pids[@]}"; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  pids=()
}
trap 'stop; rm -rf "$tmp"' EXIT
soon() {
  for _ in $(seq 1 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
root_has() { xprop -root "$1" 2>/dev/null | grep -q "$2"; }

# A desktop under window manager $1 on a new server, DISPLAY naming it.
desktop() {
  : >"$tmp/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" >/dev/null 2>&1 &
  pids=("$!")
  soon test -s "$tmp/display" || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$tmp/display" | tr -d '[:space:]')"
  if [ "$1" = openbox ]; then
    openbox --sm-disable >/dev/null 2>&1 &
    pids=("$!" "${pids[@]}")
  else
    # xfwm4 reads its settings from xfconf, over a session bus: one of its own.
    # Its Ctrl+F1 and Ctrl+F2 (workspaces 1 and 2) are let go, as a user of
    # the program's Insert Date and Insert Time keys does.
    mkdir -p "$tmp/config/xfce4/xfconf/xfce-perchannel-xml"
    cat >"$tmp/config/xfce4/xfconf/xfce-perchannel-xml/xfce4-keyboard-shortcuts.xml" <<'XML'
<channel name="xfce4-keyboard-shortcuts" version="1.0">
  <property name="xfwm4" type="empty">
    <property name="default" type="empty">
      <property name="&lt;Primary&gt;F1" type="string" value=""/>
      <property name="&lt;Primary&gt;F2" type="string" value=""/>
    </property>
  </property>
</channel>
XML
    : >"$tmp/bus"
    XDG_CONFIG_HOME="$tmp/config" dbus-daemon --session --nofork --print-address=3 3>"$tmp/bus" 2>/dev/null &
    pids=("$!" "${pids[@]}")
    soon test -s "$tmp/bus" || { echo "no session bus for xfwm4" >&2; return 1; }
    DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$tmp/bus")" XDG_CONFIG_HOME="$tmp/config" NO_AT_BRIDGE=1 \
      xfwm4 --compositor=off --sm-client-disable >/dev/null 2>&1 &
    pids=("$!" "${pids[@]}")
  fi
  soon root_has _NET_SUPPORTING_WM_CHECK 'window id' || { echo "$1 did not start" >&2; return 1; }
  if [ "$1" = xfwm4 ]; then
    picom --config /dev/null --backend xrender >/dev/null 2>&1 &
    pids=("$!" "${pids[@]}")
    soon sh -c "xwininfo -root -children | grep -q '\"picom\"'" || { echo "picom did not start" >&2; return 1; }
  fi
  xterm -geometry 80x24+700+500 -title "another program" &
  pids=("$!" "${pids[@]}")
  soon sh -c 'xwininfo -name "another program" >/dev/null 2>&1'
  xprop -id "$(xwininfo -name "another program" | awk '/Window id:/ {print $4}')" -f _NET_WM_STRUT_PARTIAL 32c -set _NET_WM_STRUT_PARTIAL "0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 1279"
  soon root_has _NET_WORKAREA '= 0, 0, 1280, 984' || { echo "no work area under $1" >&2; return 1; }
}

status=0
for wm in openbox xfwm4; do
  echo "== Linux tests under $wm"
  if desktop "$wm"; then
    ctest --preset linux "$@" || status=1
  else
    status=1
  fi
  stop
done
exit $status
