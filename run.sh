#!/usr/bin/env bash
# Builds Pinaleaf and starts it.
#   ./run.sh            the native Linux program (Qt 6, X11)
#   ./run.sh --windows  the shipping 32-bit Windows program under Wine (the
#                       64-bit build where 32-bit Wine cannot be installed)
set -euo pipefail
cd "$(dirname "$0")"
. scripts/install-deps.sh

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
No display: Pinaleaf is a desktop program and needs an X server.
On a machine without one, start a virtual screen first, for example:
  apt-get install -y xvfb && Xvfb :99 -screen 0 1280x1024x24 &
  DISPLAY=:99 ./run.sh
MSG
  exit 1
fi

if [ "${1:-}" != "--windows" ]; then
  need_packages "${LINUX_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
  need_sound_player
  cmake --preset linux -DPINALEAF_TESTS=OFF >/dev/null
  cmake --build --preset linux --target pinaleaf
  # Under Wayland too, through XWayland: only X11 lets a note place itself.
  exec env QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}" build/linux/pinaleaf
fi

. scripts/wine-session.sh
need_packages "${BUILD_PACKAGES[@]}"
preset=win32
if ! need_wine32; then
  echo "Starting the 64-bit build instead." >&2
  preset=win64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target pinaleaf
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
wine_prefix_mend "${WINEPREFIX:-$HOME/.local/share/pinaleaf/wineprefix}"
exec wine "build/$preset/pinaleaf.exe"
