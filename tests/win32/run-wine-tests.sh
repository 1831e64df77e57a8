#!/usr/bin/env bash
# Runs the Win32 tests under Wine, in a private X server that this script
# starts and stops: those of build/win64, then those of build/win32 (the
# shipping 32-bit program) under 32-bit Wine, where it is installed, with the
# screen at 96 dpi (Wine has one DPI for all monitors, set per prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-session.sh"

wine_session_xvfb
trap wine_session_stop EXIT
wine_session_prefix "$root/build/win64/wineprefix"

wine32=false
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  wine32=true
else
  echo "*** NOT RUN: the Win32 tests of the 32-bit program. 32-bit Wine (wine32:i386) is not installed. ***" >&2
fi

# The screen's DPI, under both keys Wine reads it from; the server starts
# again to take it, with the keepalive.
at_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
  wine "$root/build/win64/keepalive.exe" </dev/null >/dev/null 2>&1 &
  # Wine's desktop process starts with the keepalive, holding none of the
  # test runner's pipes: a test started before it would wait on it. Only
  # this prefix's desktop counts: another Wine session may run beside us.
  for _ in $(seq 1 100); do
    desktop_up && break
    sleep 0.1
  done
}

desktop_up() {
  local pid
  for pid in $(pgrep -f 'explorer.exe /desktop'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

cd "$root"
at_dpi 96
ctest --preset win64 "$@"
if $wine32; then ctest --preset win32 "$@"; fi
