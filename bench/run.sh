#!/usr/bin/env bash
# Benchmarks Pinaleaf under Wine (the Win32 build, in a Wine prefix of its
# own) and then on the Linux desktop (the Qt build), both in one private X
# server: prints one table and writes it to build/bench/results.csv (and as
# Markdown to build/bench/results.md). Builds what it needs. Not part of
# ./test.sh: a benchmark never fails a build.
#
# BENCH_RUNS (15) start-ups of each program, BENCH_REPEATS (3) runs of each
# in-process measurement (rounds of the long paste), BENCH_IDLE_SECONDS (10)
# of idle pumping. BENCH_ONLY=win32 or BENCH_ONLY=linux runs one part only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

only=${BENCH_ONLY:-}
case "$only" in
  "" | win32 | linux) ;;
  *)
    echo "BENCH_ONLY is win32, linux or unset, not '$only'" >&2
    exit 2
    ;;
esac
run_win32=$([ "$only" = linux ] || echo yes)
run_linux=$([ "$only" = win32 ] || echo yes)

. scripts/install-deps.sh
need_packages xvfb x11-utils
if [ -n "$run_win32" ]; then
  need_packages "${BUILD_PACKAGES[@]}"
fi
if [ -n "$run_linux" ]; then
  # The Linux build configures its tests beside the benchmark: their packages too.
  need_packages cmake ninja-build g++ qt6-base-dev libx11-dev libxtst-dev libgtest-dev
  # A window manager and a compositor, as on a user's desktop.
  need_packages openbox picom xcompmgr
fi

runs=${BENCH_RUNS:-15}
repeats=${BENCH_REPEATS:-3}
idle_seconds=${BENCH_IDLE_SECONDS:-10}
build64=$root/build/bench-win64
build32=$root/build/bench-win32
buildqt=$root/build/bench-linux
out=$root/build/bench
mkdir -p "$out"

# Own build directories, so that nobody else's build of the presets is
# disturbed. Same sources and flags as the presets.
echo "== build"
if [ -n "$run_win32" ]; then
  cmake -S "$root" -B "$build64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$build64" --target pinaleaf bench_bare bench_launch bench_inproc
  cmake -S "$root" -B "$build32" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" >/dev/null
  cmake --build "$build32" --target pinaleaf bench_bare
fi
if [ -n "$run_linux" ]; then
  cmake -S "$root" -B "$buildqt" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPINALEAF_QT=ON -DPINALEAF_TESTS=ON >/dev/null
  cmake --build "$buildqt" --target pinaleaf bench_bare_qt bench_launch_x11 bench_inproc_qt
fi

# Set first: stopping the session then ends this prefix's server only.
export WINEPREFIX="$root/build/bench-wineprefix"
. scripts/wine-session.sh
wine_session_xvfb
trap 'stop_window_manager 2>/dev/null || true; wine_session_stop' EXIT

raw=$out/raw.txt
errors=$out/errors.txt
: >"$raw"
: >"$errors"
load=$(cut -d' ' -f1 /proc/loadavg)

# Output goes to files, never to a pipe that Wine's helpers would inherit.
bench() {
  if ! wine "$build64/$1" "${@:2}" </dev/null >>"$raw" 2>>"$errors"; then
    echo "$* failed:" >&2
    cat "$errors" >&2
    return 1
  fi
}

measure_win32() {
  wine_session_prefix "$WINEPREFIX"
  wine "$build64/bench_bare.exe" --hidden </dev/null >/dev/null 2>&1 &

  echo "== start-up: $runs runs of each program, taking turns"
  bench bench_inproc.exe reset
  bench bench_launch.exe "$runs" bare_start_ms bench_bare.exe PinaleafBenchBare start_ms pinaleaf.exe PinaleafForm

  echo "== mouse moves and memory: $repeats runs"
  for _ in $(seq "$repeats"); do bench bench_inproc.exe notes; done

  echo "== leaks: 500 notes made and closed"
  bench bench_inproc.exe leaks

  echo "== long paste: $repeats rounds, the note and a plain EDIT taking turns"
  bench bench_inproc.exe paste "$repeats"

  echo "== idle CPU: $repeats runs of $idle_seconds s, the three cases side by side"
  local pids pid what
  for _ in $(seq "$repeats"); do
    pids=()
    for what in idle-bare idle-note idle-reminder; do
      bench bench_inproc.exe "$what" "$idle_seconds" &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid"; done
  done
  tr -d '\r' <"$raw" >"$raw.tmp" && mv "$raw.tmp" "$raw"
  if awk '$1 == "note_count" && $2 != 500 {bad = 1} END {exit !bad}' "$raw"; then
    echo "warning: a run did not open all 500 notes (see $raw)" >&2
  fi
  if awk '$1 == "paste_text_chars" {n = $2} ($1 == "paste_chars" || $1 == "paste_bare_chars") {v[++c] = $2}
          END {for (i = 1; i <= c; i++) if (v[i] != n) bad = 1; exit !bad}' "$raw"; then
    echo "warning: a text area did not hold the whole paste (see $raw)" >&2
  fi
  # Wine is done: its server goes before the Linux programs start.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Each line the program prints goes to raw.txt, its key ending in
# $key_suffix (the window manager's runs are told apart by it).
key_suffix=""
bench_qt() {
  local lines
  if ! lines=$("$buildqt/$1" "${@:2}" </dev/null 2>>"$errors"); then
    echo "$* failed:" >&2
    cat "$errors" >&2
    return 1
  fi
  awk -v s="$key_suffix" 'NF {$1 = $1 s; print}' <<<"$lines" >>"$raw"
}

# A window manager as users have one, with a compositor: openbox, then picom
# (its xrender backend, which Xvfb has, with no configuration: no fading, no
# shadows, no dimming), or xcompmgr where picom does not come up. Stopped
# again by stop_window_manager, which ends only these two.
wm_pid="" compositor_pid="" compositor=""
start_window_manager() {
  openbox --sm-disable >>"$errors" 2>&1 &
  wm_pid=$!
  "$buildqt/bench_launch_x11" --wait-for-manager || return 1
  picom --config /dev/null --backend xrender >/dev/null 2>&1 &
  compositor_pid=$! compositor=picom
  if ! "$buildqt/bench_launch_x11" --wait-for-manager compositor; then
    kill "$compositor_pid" 2>/dev/null || true
    wait "$compositor_pid" 2>/dev/null || true
    echo "picom did not come up: xcompmgr instead" >&2
    xcompmgr >/dev/null 2>&1 &
    compositor_pid=$! compositor=xcompmgr
    "$buildqt/bench_launch_x11" --wait-for-manager compositor || return 1
  fi
}
stop_window_manager() {
  local pid
  for pid in $compositor_pid $wm_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  compositor_pid="" wm_pid=""
}

# Start-up and memory, beside a bare Qt window with a text box, in the X
# server as it is (no window manager, or one started for them).
measure_linux_start_and_memory() {
  echo "== Linux, Qt$1: start-up: $runs runs of each program, taking turns (load average $(cut -d' ' -f1 /proc/loadavg))"
  echo "load_start$key_suffix $(cut -d' ' -f1 /proc/loadavg)" >>"$raw"
  bench_qt bench_launch_x11 "$runs" bare_start_ms_qt bench_bare_qt Bare \
    text_start_ms_qt "bench_bare_qt text" Bare start_ms_qt pinaleaf Form1
  echo "== Linux, Qt$1: memory: $repeats runs"
  for _ in $(seq "$repeats"); do bench_qt bench_inproc_qt notes; done
  echo "load_end$key_suffix $(cut -d' ' -f1 /proc/loadavg)" >>"$raw"
}

measure_linux() {
  # As a user starts the program: on X11, with settings and a runtime
  # folder of its own, emptied first.
  export QT_QPA_PLATFORM=xcb LANG=C.UTF-8
  export XDG_CONFIG_HOME=$out/linux-config XDG_RUNTIME_DIR=$out/linux-runtime
  rm -rf "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  mkdir -p "$XDG_CONFIG_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"

  key_suffix=""
  measure_linux_start_and_memory ""

  # The X server has one keyboard focus: the cases holding it take turns;
  # with the keyboard given away they run side by side.
  echo "== Linux, Qt: idle: $repeats runs of $idle_seconds s of each case, holding the keyboard one after another"
  local pids pid what
  for _ in $(seq "$repeats"); do
    for what in idle-bare idle-note idle-reminder; do bench_qt bench_inproc_qt "$what" "$idle_seconds"; done
  done
  echo "== Linux, Qt: idle: $repeats runs of $idle_seconds s, the keyboard given away, the three cases side by side"
  for _ in $(seq "$repeats"); do
    pids=()
    for what in idle-bare idle-note idle-reminder; do
      bench_qt bench_inproc_qt "$what" "$idle_seconds" away &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid"; done
  done

  start_window_manager
  key_suffix=_wm
  measure_linux_start_and_memory " under openbox and $compositor"
  key_suffix=""
  stop_window_manager
  if awk '$1 ~ /^note_count_qt/ && $2 != 101 {bad = 1} END {exit !bad}' "$raw"; then
    echo "warning: a Linux run did not open all 101 notes (see $raw)" >&2
  fi
}

if [ -n "$run_win32" ]; then measure_win32; fi
if [ -n "$run_linux" ]; then measure_linux; fi

median() {  # median KEY: over every run that printed KEY
  awk -v k="$1" '$1 == k {print $2}' "$raw" | sort -g |
    awk '{v[NR] = $1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2];
                          else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

# The 32-bit program is what ships; its imports must all come with Windows.
system_dlls='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|winmm|msvcrt|ucrtbase|ws2_32|version|uxtheme|dwmapi|imm32|ntdll|shcore|rpcrt4|crypt32|secur32|winspool\.drv|api-ms-win-.*)(\.dll)?$'
imports() {  # lower case, without ".dll"
  i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print tolower($3)}' | sed 's/\.dll$//' | sort | paste -sd' ' -
}
foreign() {
  local dll bad=""
  for dll in $1; do
    echo "$dll" | grep -qiE "$system_dlls" || bad="$bad $dll"
  done
  echo "${bad# }"
}
size_kb() { awk -v b="$(stat -c %s "$1")" 'BEGIN {printf "%.1f", b / 1024}'; }

# One row: measure|unit|pinaleaf|baseline|baseline is|target|result
csv=$out/results.csv
rows=$out/rows.txt
: >"$rows"
row() { printf '%s|%s|%s|%s|%s|%s|%s\n' "$@" >>"$rows"; }
# result VALUE LIMIT UNIT: met, or missed by how much
result() {
  awk -v v="$1" -v l="$2" -v u="$3" 'BEGIN {if (v == "nan") print "no figure"; else if (v <= l) print "met";
                                           else printf "missed by %.4g %s (%.1fx the target)\n", v - l, u, v / l}'
}
fmt() { awk -v v="$1" -v d="$2" 'BEGIN {if (v == "nan") print "nan"; else printf "%." d "f\n", v}'; }
kb() { awk -v b="$1" 'BEGIN {if (b == "nan") print "nan"; else print b / 1024}'; }
# within_ratio VALUE BASELINE UNIT: met when VALUE is at most 1.2x BASELINE,
# judged on the unrounded ratio
within_ratio() {
  awk -v a="$1" -v b="$2" -v u="$3" 'BEGIN {if (a == "nan" || b == "nan") {print "no figure"; exit}
    r = a / b; if (r <= 1.2) printf "met (%.3fx)\n", r
    else printf "missed by %.1f %s (%.3fx the baseline)\n", a - 1.2 * b, u, r}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a == "nan" || b == "nan") print "no figure"; else printf "%.3fx\n", a / b}'; }
runs_of() { awk -v k="$1" '$1 == k {print $2}' "$raw" | paste -sd, - | sed 's/,/, /g'; }

rows_win32() {
  local start bare_start n target verdict paste bare_paste per_note what before after exe_kb
  local exe_imports bare_imports exe_foreign
  start=$(median start_ms)
  bare_start=$(median bare_start_ms)
  row "Start of the process to the first note shown" ms "$(fmt "$start" 0)" "$(fmt "$bare_start" 0)" \
    "bare window" "<= 1.2x baseline" "$(within_ratio "$start" "$bare_start" ms)"
  for n in 1 10 100 500; do
    target="" verdict=""
    if [ "$n" -ge 100 ]; then target="<= 1000 us" verdict=$(result "$(median "move_us_$n")" 1000 us); fi
    row "One mouse move over a text area, $n note$([ "$n" = 1 ] || echo s) open" us \
      "$(fmt "$(median "move_us_$n")" 1)" "$(fmt "$(median "move_bare_us_$n")" 2)" "plain EDIT" "$target" "$verdict"
  done
  paste=$(median paste_ms)
  bare_paste=$(median paste_bare_ms)
  row "500 KB mixed-script paste until the note answers again (a popup opens)" ms "$(fmt "$paste" 0)" \
    "$(fmt "$bare_paste" 0)" "plain EDIT" "<= 1.2x baseline" "$(within_ratio "$paste" "$bare_paste" ms)"
  row "CPU over ${idle_seconds} s idle, reminder armed" "% of a core" "$(fmt "$(median idle_reminder_pct)" 2)" \
    "$(fmt "$(median idle_bare_pct)" 2)" "bare window" "<= 0.2 %" "$(result "$(median idle_reminder_pct)" 0.2 "% of a core")"
  row "Wake-ups per second over ${idle_seconds} s idle, reminder armed" "" \
    "$(fmt "$(median idle_reminder_wakeups_per_s)" 2)" "$(fmt "$(median idle_bare_wakeups_per_s)" 2)" "bare window" \
    "<= 2" "$(result "$(median idle_reminder_wakeups_per_s)" 2 "a second")"
  row "CPU over ${idle_seconds} s idle, no reminder" "% of a core" "$(fmt "$(median idle_note_pct)" 2)" \
    "$(fmt "$(median idle_bare_pct)" 2)" "bare window" "" ""
  per_note=$(kb "$(median bytes_per_note)")
  row "Private bytes per extra note (over 100, 64-bit)" KB "$(fmt "$per_note" 1)" \
    "$(fmt "$(kb "$(median bytes_per_bare)")" 1)" "bare window + EDIT" "<= 64 KB" "$(result "$per_note" 64 KB)"
  for what in hooks windows gdi; do
    before=$(median "leak_${what}_before") after=$(median "leak_${what}_after")
    row "${what^} left behind by 500 notes made and closed" "" "$((after - before))" \
      "$before" "before" "0" "$([ "$after" = "$before" ] && echo met || echo "missed by $((after - before))")"
  done
  exe_kb=$(size_kb "$build32/pinaleaf.exe")
  row "Size of the 32-bit pinaleaf.exe" KB "$exe_kb" "$(size_kb "$build32/bench_bare.exe")" "bare window" \
    "<= 400 KB" "$(result "$exe_kb" 400 KB)"
  exe_imports=$(imports "$build32/pinaleaf.exe")
  bare_imports=$(imports "$build32/bench_bare.exe")
  exe_foreign=$(foreign "$exe_imports")
  row "DLLs the 32-bit pinaleaf.exe imports" "" "$exe_imports" "$bare_imports" "bare window" \
    "Windows system DLLs only" "$([ -z "$exe_foreign" ] && echo met || echo "missed ($exe_foreign)")"
}

# The Linux rows: wake-ups and CPU are the UI thread's (the whole process's
# are in results.md); memory is the resident set.
rows_linux() {
  local idle held away
  rows_linux_start_and_memory "" "Linux, Qt"
  idle="over ${idle_seconds} s idle"
  held="the note holding the keyboard"
  away="the keyboard in no window of ours"
  row "CPU of the UI thread $idle, reminder armed, $held (Linux, Qt)" "% of a core" \
    "$(fmt "$(median idle_reminder_qt_pct)" 2)" "$(fmt "$(median idle_bare_qt_pct)" 2)" \
    "bare Qt window + text box, holding the keyboard" "<= 0.2 %" \
    "$(result "$(median idle_reminder_qt_pct)" 0.2 "% of a core")"
  row "Wake-ups per second of the UI thread $idle, reminder armed, $held (Linux, Qt)" "" \
    "$(fmt "$(median idle_reminder_qt_wakeups_per_s)" 2)" "$(fmt "$(median idle_bare_qt_wakeups_per_s)" 2)" \
    "bare Qt window + text box, holding the keyboard" "<= 2" \
    "$(result "$(median idle_reminder_qt_wakeups_per_s)" 2 "a second")"
  row "Wake-ups per second of the UI thread $idle, reminder armed, $away (Linux, Qt)" "" \
    "$(fmt "$(median idle_reminder_away_qt_wakeups_per_s)" 2)" "$(fmt "$(median idle_bare_away_qt_wakeups_per_s)" 2)" \
    "bare Qt window + text box, without the keyboard" "<= 2" \
    "$(result "$(median idle_reminder_away_qt_wakeups_per_s)" 2 "a second")"
  row "CPU of the UI thread $idle, no reminder, $held (Linux, Qt)" "% of a core" \
    "$(fmt "$(median idle_note_qt_pct)" 2)" "$(fmt "$(median idle_bare_qt_pct)" 2)" \
    "bare Qt window + text box, holding the keyboard" "" ""
  row "Wake-ups per second of the UI thread $idle, no reminder, $held (Linux, Qt)" "" \
    "$(fmt "$(median idle_note_qt_wakeups_per_s)" 2)" "$(fmt "$(median idle_bare_qt_wakeups_per_s)" 2)" \
    "bare Qt window + text box, holding the keyboard" "" ""
  rows_linux_start_and_memory _wm "Linux, Qt, openbox + $compositor"
}

# rows_linux_start_and_memory SUFFIX WHERE: start-up to the first note drawn
# and mapped, and memory per note, each beside a bare Qt window with a text
# box (QPlainTextEdit) measured in the same run.
rows_linux_start_and_memory() {
  local start text per_note per_bare
  start=$(median "start_ms_qt$1") text=$(median "text_start_ms_qt$1")
  row "Start of the process to the first note drawn ($2)" ms "$(fmt "$start" 0)" "$(fmt "$text" 0)" \
    "bare Qt window + QPlainTextEdit" "<= 1.2x baseline" "$(within_ratio "$start" "$text" ms)"
  start=$(median "start_ms_qt_map$1") text=$(median "text_start_ms_qt_map$1")
  row "Start of the process to the first note mapped ($2)" ms "$(fmt "$start" 0)" "$(fmt "$text" 0)" \
    "bare Qt window + QPlainTextEdit" "" "$(ratio "$start" "$text")"
  per_note=$(median "rss_per_note$1") per_bare=$(median "rss_per_bare$1")
  row "Resident bytes per extra note (over 100) ($2)" KB "$(fmt "$(kb "$per_note")" 1)" \
    "$(fmt "$(kb "$per_bare")" 1)" "bare Qt window + QPlainTextEdit" "<= 1.2x baseline" \
    "$(within_ratio "$(kb "$per_note")" "$(kb "$per_bare")" KB)"
}

if [ -n "$run_win32" ]; then rows_win32; fi
if [ -n "$run_linux" ]; then rows_linux; fi

{
  echo "measure,unit,pinaleaf,baseline,baseline_is,target,result"
  awk -F'|' '{for (i = 1; i <= NF; i++) {f = $i; gsub(/"/, "\"\"", f); printf "%s\"%s\"", (i > 1 ? "," : ""), f}
              print ""}' "$rows"
} >"$csv"

context="$(nproc) CPUs, load average $load at the start and $(cut -d' ' -f1 /proc/loadavg) at the end"
if [ -n "$run_linux" ]; then
  context="Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null | sed 's/[+-].*//') on Xvfb (no window manager, then openbox $(openbox --version 2>/dev/null | awk 'NR == 1 {print $2}') with $compositor), $context"
fi
if [ -n "$run_win32" ]; then
  context="Wine $(wine --version 2>/dev/null | sed 's/^wine-//'), $context"
fi
{
  echo "Measured under $context."
  echo
  echo "| Measure | Pinaleaf | Baseline (same run) | Target | Result |"
  echo "| --- | --- | --- | --- | --- |"
  awk -F'|' '{u = ($2 == "" ? "" : " " $2); printf "| %s | %s%s | %s%s (%s) | %s | %s |\n", $1, $3, u, $4, u, $5, $6, $7}' "$rows"
  if [ -n "$run_win32" ]; then
    echo
    echo "Start-up runs (ms), in order: bare window $(runs_of bare_start_ms_runs);" \
      "Pinaleaf $(runs_of start_ms_runs)."
    echo
    echo "Paste rounds (ms), in order: Pinaleaf $(runs_of paste_ms); plain EDIT $(runs_of paste_bare_ms)" \
      "($(awk '$1 == "paste_text_chars" {print $2; exit}' "$raw") UTF-16 code units pasted). CPU time of the" \
      "pumping thread meanwhile, medians: Pinaleaf $(fmt "$(median paste_cpu_ms)" 0) ms," \
      "plain EDIT $(fmt "$(median paste_bare_cpu_ms)" 0) ms."
  fi
  if [ -n "$run_linux" ]; then
    echo
    for suffix in "" _wm; do
      where=$([ -z "$suffix" ] && echo "no window manager" || echo "openbox + $compositor")
      echo "Linux, Qt, $where (load average $(median "load_start$suffix") at the start, $(median "load_end$suffix")" \
        "at the end): start-up runs to the window drawn (ms), in order: bare Qt window + QPlainTextEdit" \
        "$(runs_of "text_start_ms_qt_runs$suffix"); Pinaleaf $(runs_of "start_ms_qt_runs$suffix"); a bare Qt window" \
        "alone (no text box), median $(fmt "$(median "bare_start_ms_qt$suffix")" 0) ms drawn," \
        "$(fmt "$(median "bare_start_ms_qt_map$suffix")" 0) ms mapped. Per extra note, medians: resident" \
        "$(fmt "$(kb "$(median "rss_per_note$suffix")")" 1) KB, of which" \
        "$(fmt "$(kb "$(median "rss_per_note_shm$suffix")")" 1) KB the window's image shared with the X server;" \
        "proportional $(fmt "$(kb "$(median "rss_per_note_pss$suffix")")" 1) KB. Per bare window: resident" \
        "$(fmt "$(kb "$(median "rss_per_bare$suffix")")" 1) KB, shared image" \
        "$(fmt "$(kb "$(median "rss_per_bare_shm$suffix")")" 1) KB, proportional" \
        "$(fmt "$(kb "$(median "rss_per_bare_pss$suffix")")" 1) KB."
      echo
    done
    echo "Linux, Qt: the whole process idle (Qt's X event thread too), medians, wake-ups a second and % of a core:" \
      "reminder armed $(fmt "$(median idle_reminder_qt_process_wakeups_per_s)" 2)," \
      "$(fmt "$(median idle_reminder_qt_process_pct)" 2) %; no reminder" \
      "$(fmt "$(median idle_note_qt_process_wakeups_per_s)" 2), $(fmt "$(median idle_note_qt_process_pct)" 2) %;" \
      "bare $(fmt "$(median idle_bare_qt_process_wakeups_per_s)" 2), $(fmt "$(median idle_bare_qt_process_pct)" 2) %." \
      "The keyboard in no window of ours, UI thread: no reminder $(fmt "$(median idle_note_away_qt_wakeups_per_s)" 2)" \
      "wake-ups a second, $(fmt "$(median idle_note_away_qt_pct)" 2) %; reminder armed" \
      "$(fmt "$(median idle_reminder_away_qt_pct)" 2) %; bare $(fmt "$(median idle_bare_away_qt_pct)" 2) %."
  fi
} >"$out/results.md"

echo
echo "Pinaleaf under $context"
awk -F'|' 'BEGIN {h[1] = "Measure"; h[2] = "Pinaleaf"; h[3] = "Baseline"; h[4] = "Target"; h[5] = "Result"}
  {u = ($2 == "" ? "" : " " $2); n++; c[n, 1] = $1; c[n, 2] = $3 u; c[n, 3] = $4 u " (" $5 ")"; c[n, 4] = $6; c[n, 5] = $7}
  END {for (j = 1; j <= 5; j++) {w[j] = length(h[j]); for (i = 1; i <= n; i++) if (length(c[i, j]) > w[j]) w[j] = length(c[i, j])}
       for (j = 1; j <= 5; j++) printf "%-*s  ", w[j], h[j]; print ""
       for (j = 1; j <= 5; j++) {s = ""; for (k = 0; k < w[j]; k++) s = s "-"; printf "%s  ", s}; print ""
       for (i = 1; i <= n; i++) {for (j = 1; j <= 5; j++) printf "%-*s  ", w[j], c[i, j]; print ""}}' "$rows"
sed -n '/^Start-up runs\|^Paste rounds\|^Linux, Qt[:,]/p' "$out/results.md"
echo
echo "Written: $csv, $out/results.md (each run's figures: $raw)"
