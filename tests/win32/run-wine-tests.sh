#!/usr/bin/env bash
# Runs the Win32 tests under Wine, in a private X server that this script
# starts and stops: those of build/win64, then those of build/win32 (the
# shipping 32-bit program) under 32-bit Wine, where it is installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-session.sh"

wine_session_xvfb
trap wine_session_stop EXIT
wine_session_prefix "$root/build/win64/wineprefix"
wine "$root/build/win64/keepalive.exe" </dev/null >/dev/null 2>&1 &

cd "$root"
ctest --preset win64 "$@"
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  ctest --preset win32 "$@"
else
  echo "*** NOT RUN: the Win32 tests of the 32-bit program. 32-bit Wine (wine32:i386) is not installed. ***" >&2
fi
