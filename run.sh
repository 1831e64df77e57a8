#!/usr/bin/env bash
# Builds Pinaleaf and starts it under Wine (the 64-bit build; 32-bit Wine is
# not available on every Debian machine).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/install-deps.sh
need_packages "${BUILD_PACKAGES[@]}"

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
No display: Pinaleaf is a desktop program and needs an X server.
On a machine without one, start a virtual screen first, for example:
  apt-get install -y xvfb && Xvfb :99 -screen 0 1280x1024x24 &
  DISPLAY=:99 ./run.sh
MSG
  exit 1
fi

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target pinaleaf
export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/pinaleaf/wineprefix}" WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
exec wine build/win64/pinaleaf.exe
