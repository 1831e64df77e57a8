# Sourced by run.sh, test.sh and bench/run.sh: a Wine prefix of our own and,
# when asked, a private X server. Stops only what it started.

# A prefix made before 32-bit Wine was installed no longer starts anything:
# made again. Also for the prefix ./run.sh keeps in the user's home.
wine_prefix_mend() {  # wine_prefix_mend DIR
  export WINEPREFIX="$1"
  mkdir -p "$WINEPREFIX"
  if [ -f "$WINEPREFIX/system.reg" ] && ! timeout 60 wine cmd /c exit 0 >/dev/null 2>&1; then
    echo "The Wine prefix $WINEPREFIX does not start programs any more: making it again." >&2
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
  fi
}

wine_session_prefix() {  # wine_session_prefix DIR
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
  wine_prefix_mend "$1"
  # Keep one server up for the whole session: each process starts fast.
  wineserver -p >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
  fi
  # No window manager: unmanaged windows close at once. No sound device.
  # Arial is Liberation Sans here, as a note looks on Windows. A program
  # that crashes ends at once, with no dialog left waiting for a click.
  local reg
  reg=$(mktemp --suffix=.reg)
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  wine regedit /S "$reg" >/dev/null 2>&1 || true
  rm -f "$reg"
  # Wine's own Wingdings (package fonts-wine), which it does not list by itself.
  if [ -f /usr/share/wine/fonts/wingding.ttf ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/wingding.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
}

XVFB_PID=""
# A desktop as users have it: a 40-pixel taskbar along the bottom, which Wine
# takes from _NET_WORKAREA when it starts. -noreset keeps that property when
# xprop, the first client, goes.
wine_session_xvfb() {  # starts Xvfb on a free display and exports DISPLAY
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  if [ ! -s "$fdfile" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
  rm -f "$fdfile"
  xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, 1280, 984"
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
