#!/usr/bin/env bash
# Runs the Win32 tests of build/win64 under Wine, in a private X server that
# this script starts and stops. The shipping 32-bit program (build/win32) is
# run too, under 32-bit Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-session.sh"

cp "$root/build/win32/pinaleaf.exe" "$root/build/win64/pinaleaf32.exe"
wine_session_xvfb
trap wine_session_stop EXIT
wine_session_prefix "$root/build/win64/wineprefix"
wine "$root/build/win64/keepalive.exe" </dev/null >/dev/null 2>&1 &

cd "$root"
ctest --preset win64 "$@"
