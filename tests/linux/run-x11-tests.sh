#!/bin/bash
# The Linux tests on a private X server of their own, with no window
# manager: the build of the `linux` preset, then the tests of scale again at
# 150 %. Stops only the X server it started, which keeps the root's
# properties when their first client goes (-noreset).
set -euo pipefail
cd "$(dirname "$0")/../.."

fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 1 100); do
  [ -s "$fdfile" ] && break
  sleep 0.1
done
[ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8
# A desktop as users have it: a 40-pixel panel along the bottom.
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, 1280, 984"

ctest --preset linux "$@"
QT_SCALE_FACTOR=1.5 ctest --preset linux -R '^scales$'
