#!/usr/bin/env bash
# Runs the Win32 tests of build/win64 under Wine, in a private X server that
# this script starts and stops.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-session.sh"

wine_session_xvfb
trap wine_session_stop EXIT
wine_session_prefix "$root/build/win64/wineprefix"
wine "$root/build/win64/keepalive.exe" </dev/null >/dev/null 2>&1 &
# The desktop's mail and web handlers, as the shell reaches them: scripts of
# ours first on the PATH that log what they are given.
handlers=$(mktemp -d)
for tool in xdg-email xdg-open; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/shell.log"\n' "$tool" "$handlers" >"$handlers/$tool"
  chmod +x "$handlers/$tool"
done
: >"$handlers/shell.log"
export PATH="$handlers:$PATH" PINALEAF_TEST_SHELL_LOG="$handlers/shell.log"

cd "$root"
status=0
ctest --preset win64 "$@" || status=$?
rm -rf "$handlers"
exit $status
