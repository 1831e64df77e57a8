#!/usr/bin/env bash
# Builds Pinaleaf and starts it under Wine: the 32-bit program that users
# get, or the 64-bit build where 32-bit Wine cannot be installed.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/install-deps.sh
. scripts/wine-session.sh
need_packages "${BUILD_PACKAGES[@]}"
preset=win32
if ! need_wine32; then
  echo "Starting the 64-bit build instead." >&2
  preset=win64
fi

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
No display: Pinaleaf is a desktop program and needs an X server.
On a machine without one, start a virtual screen first, for example:
  apt-get install -y xvfb && Xvfb :99 -screen 0 1280x1024x24 &
  DISPLAY=:99 ./run.sh
MSG
  exit 1
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target pinaleaf
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
wine_prefix_mend "${WINEPREFIX:-$HOME/.local/share/pinaleaf/wineprefix}"
exec wine "build/$preset/pinaleaf.exe"
