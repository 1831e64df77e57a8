#!/bin/bash
# The Linux tests on a private X server of their own, under a window manager
# as users have one (openbox), with another program's window open beside the
# notes: the build of the `linux` preset, then the tests of scale again at
# 150 %. Stops only what it started; the server keeps the root's properties
# when their first client goes (-noreset).
set -euo pipefail
cd "$(dirname "$0")/../.."

fdfile=$(mktemp)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done; rm -f "$fdfile"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
pids=("$!")
for _ in $(seq 1 100); do
  [ -s "$fdfile" ] && break
  sleep 0.1
done
[ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8

openbox --sm-disable >/dev/null 2>&1 &
pids=("$!" "${pids[@]}")
# Once the window manager has set its own work area, ours replaces it.
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK _NET_WORKAREA 2>/dev/null | grep -q '_NET_WORKAREA(CARDINAL) =' && break
  sleep 0.1
done
# A desktop as users have it: a 40-pixel panel along the bottom, and another
# program's window, away from where notes open.
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, 1280, 984"
xterm -geometry 80x24+700+500 -title "another program" &
pids=("$!" "${pids[@]}")
for _ in $(seq 1 100); do
  xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

ctest --preset linux "$@"
QT_SCALE_FACTOR=1.5 ctest --preset linux -R '^scales$'
