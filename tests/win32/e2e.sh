#!/usr/bin/env bash
# e2e.sh PINALEAF_EXE: one run of the real program driven from outside with
# real X input (xdotool): right-click, a note created from the popup, typing,
# a drag by the strip, a resize from the text area's corner, Ctrl+N, Ctrl+D,
# and Ctrl+D on the only note answered Yes, which ends the process with exit
# code 0. Each step is checked from outside: X windows, the settings as
# `wine reg export` writes them, the process's exit. Run by ctest under
# tests/win32/run-wine-tests.sh, in its X server and Wine prefix.
set -euo pipefail
exe=${1:?usage: e2e.sh PINALEAF_EXE}

fail() {
  echo "e2e: FAIL: $*" >&2
  exit 1
}
ok() { echo "e2e: ok: $*"; }

[ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run under tests/win32/run-wine-tests.sh"
[ -n "${WINEPREFIX:-}" ] || fail "no WINEPREFIX: run under tests/win32/run-wine-tests.sh"
command -v xdotool >/dev/null || fail "xdotool is not installed (./test.sh installs it)"
[ -f "$exe" ] || fail "no program at $exe"

work=$(mktemp -d)
pid=""
finish() {
  # A program still running after a failure is ended here.
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT

# Visible notes, by their caption.
notes() { xdotool search --onlyvisible --name '^Form1$' 2>/dev/null || true; }
note_count() { notes | grep -c . || true; }
# "x y width height" of an X window.
geometry() {
  xdotool getwindowgeometry "$1" |
    awk '/Position:/ { split($2, p, ","); x = p[1]; y = p[2] } /Geometry:/ { split($2, g, "x"); print x, y, g[1], g[2] }'
}
# A visible window with this exact name, or nothing.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }
# Visible windows without a name that do not cover the screen: popup menus.
popups() {
  local screen w width height
  screen=$(xdotool getdisplaygeometry | tr ' ' 'x')
  for w in $(xdotool search --onlyvisible --name '^$' 2>/dev/null || true); do
    read -r _ _ width height <<<"$(geometry "$w")"
    [ "${width}x${height}" = "$screen" ] || echo "$w"
  done
}
# wait_for SECONDS WHAT COMMAND...: polls until COMMAND succeeds.
wait_for() {
  local limit=$1 what=$2
  shift 2
  for _ in $(seq $((limit * 20))); do
    "$@" && return 0
    sleep 0.05
  done
  fail "$what"
}
count_is() { [ "$(note_count)" -eq "$1" ]; }
named_shows() { [ -n "$(window_named "$1")" ]; }
named_gone() { [ -z "$(window_named "$1")" ]; }
popup_shows() { [ -n "$(popups)" ]; }
popup_gone() { [ -z "$(popups)" ]; }
window_gone() { ! grep -qx "$1" <<<"$(notes)"; }
# The stored value of a setting, from the registry as exported.
stored() {
  wine reg export 'HKCU\Software\Pinaleaf\1.0' "$work/settings.reg" /y >/dev/null 2>&1 || return 0
  iconv -f UTF-16 -t UTF-8 "$work/settings.reg" | tr -d '\r' | sed -n "s/^\"$1\"=\"\\(.*\\)\"\$/\\1/p"
}
# The centre of a note's text area (below the 24-pixel strip).
text_centre() {
  local x y w h
  read -r x y w h <<<"$(geometry "$1")"
  echo $((x + w / 2)) $((y + 24 + (h - 24) / 2))
}
click_text() {
  local cx cy
  read -r cx cy <<<"$(text_centre "$1")"
  xdotool mousemove --sync "$cx" "$cy" click 1
  sleep 0.2
}
# drag FROM_X FROM_Y TO_X TO_Y with the left button, in small steps.
drag() {
  local i
  xdotool mousemove --sync "$1" "$2" sleep 0.1 mousedown 1 sleep 0.15
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --sync $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10)) sleep 0.03
  done
  xdotool sleep 0.1 mouseup 1 sleep 0.3
}

[ "$(note_count)" -eq 0 ] || fail "a note is showing before the program starts"
wine reg delete 'HKCU\Software\Pinaleaf' /f >/dev/null 2>&1 || true

timeout 120 wine "$exe" </dev/null >/dev/null 2>&1 &
pid=$!
wait_for 20 "the program showed no note" count_is 1
first=$(notes)
read -r x y w h <<<"$(geometry "$first")"
[ "$x $y $w $h" = "135 137 133 157" ] || fail "the first note stands at $x,$y size ${w}x$h, not 135,137 size 133x157"
ok "the first note shows at 135,137, 133x157"

# Right-click: the program's popup opens at the pointer, the note recorded.
popup_gone || fail "an unnamed window shows before the right-click"
read -r cx cy <<<"$(text_centre "$first")"
xdotool mousemove --sync "$cx" "$cy" click 3
wait_for 5 "a right click in the text area opened no popup" popup_shows
read -r px py _ _ <<<"$(geometry "$(popups | head -n1)")"
[ "$px $py" = "$cx $cy" ] || fail "the popup opened at $px,$py, not at the pointer $cx,$cy"
first_record=$(stored ActivehWnd)
[[ "$first_record" =~ ^-?[0-9]+$ ]] || fail "the right press recorded no note: ActivehWnd is '$first_record'"
ok "right-click opened the popup at the pointer and recorded the note ($first_record)"

# "Create New Note" is the sixth entry that can be chosen. The pointer moves
# off the popup first: under Wine a pointer move over it clears its selection.
xdotool mousemove --sync $((cx - 5)) $((cy - 5)) sleep 0.2
xdotool key Down Down Down Down Down Down Return
wait_for 5 "the popup did not close" popup_gone
wait_for 5 "Create New Note made no second note" count_is 2
second=$(notes | grep -vx "$first")
read -r x2 y2 w2 h2 <<<"$(geometry "$second")"
[ "$((x2 - x)) $((y2 - y))" = "33 33" ] || fail "the new note is $((x2 - x)),$((y2 - y)) from the first, not 33,33"
ok "Create New Note from the popup: a second note 33 pixels right of and below the first"

# Typing: the text shows in the reminder dialog's caption.
click_text "$second"
second_record=$(stored ActivehWnd)
[ -n "$second_record" ] && [ "$second_record" != "$first_record" ] ||
  fail "a click in the second note did not record it: ActivehWnd is '$second_record'"
xdotool type --delay 30 'Buy milk'
sleep 0.2
xdotool key ctrl+r
wait_for 5 "the typed text is not in the note (no 'Reminder [Buy milk]' window)" named_shows 'Reminder \[Buy milk\]'
xdotool key alt+F4
wait_for 5 "the reminder dialog did not close" named_gone 'Reminder \[Buy milk\]'
ok "typed 'Buy milk' into the second note"

# Dragging the strip moves the note by exactly the pointer's way.
drag $((x2 + 60)) $((y2 + 10)) $((x2 + 160)) $((y2 + 90))
read -r mx my mw mh <<<"$(geometry "$second")"
[ "$mx $my $mw $mh" = "$((x2 + 100)) $((y2 + 80)) $w2 $h2" ] ||
  fail "after dragging the strip by 100,80 the note stands at $mx,$my size ${mw}x$mh, not $((x2 + 100)),$((y2 + 80)) size ${w2}x$h2"
ok "dragged the second note by its strip to $mx,$my"

# The text area's bottom-right corner resizes the note.
drag $((mx + mw - 2)) $((my + mh - 2)) $((mx + 200 - 2)) $((my + 266 - 2))
read -r rx ry rw rh <<<"$(geometry "$second")"
[ "$rx $ry $rw $rh" = "$mx $my 200 266" ] ||
  fail "after resizing from the corner the note stands at $rx,$ry size ${rw}x$rh, not $mx,$my size 200x266"
ok "resized the second note from its text area's corner to 200x266"

# Ctrl+N in the second note, then Ctrl+D in the new one.
click_text "$second"
xdotool key ctrl+n
wait_for 5 "Ctrl+N made no third note" count_is 3
third=$(notes | grep -vx "$first" | grep -vx "$second")
read -r x3 y3 _ _ <<<"$(geometry "$third")"
[ "$((x3 - rx)) $((y3 - ry))" = "33 33" ] || fail "the Ctrl+N note is $((x3 - rx)),$((y3 - ry)) from its note, not 33,33"
ok "Ctrl+N made a third note 33 pixels right of and below the second"
click_text "$third"
xdotool key ctrl+d
wait_for 5 "Ctrl+D did not delete the third note" window_gone "$third"
count_is 2 || fail "Ctrl+D closed $((3 - $(note_count))) notes, not one"
click_text "$second"
xdotool key ctrl+d
wait_for 5 "Ctrl+D did not delete the second note" window_gone "$second"
count_is 1 || fail "the first note is gone too"
ok "Ctrl+D deleted the third and the second note"

# Ctrl+D on the only note asks; Yes (the default) ends the program.
click_text "$first"
before=$(stored ActivehWnd)
[ "$before" = "$first_record" ] || fail "a click in the first note recorded '$before', not '$first_record'"
xdotool key ctrl+d
wait_for 5 "Ctrl+D on the only note asked no question (no 'Quit?' window)" named_shows 'Quit\?'
count_is 1 || fail "the only note closed before the answer"
ok "Ctrl+D on the only note asked 'Quit?'"
wine reg export 'HKCU\Software\Pinaleaf\1.0' "$work/before.reg" /y >/dev/null 2>&1 || fail "no settings to export"
xdotool key Return
set +e
for _ in $(seq 200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "the program still runs 10 s after Yes"
wait "$pid"
code=$?
set -e
pid=""
[ "$code" -eq 0 ] || fail "the program ended with exit code $code, not 0"
[ "$(note_count)" -eq 0 ] || fail "a note still shows after the program ended"
wine reg export 'HKCU\Software\Pinaleaf\1.0' "$work/after.reg" /y >/dev/null 2>&1 || fail "the settings are gone"
cmp -s "$work/before.reg" "$work/after.reg" || fail "quitting changed the settings"
ok "Yes ended the program with exit code 0, writing nothing"
