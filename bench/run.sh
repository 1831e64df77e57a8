#!/usr/bin/env bash
# Benchmarks Pinaleaf under Wine, in a private X server and a Wine prefix of
# its own: prints one table and writes it to build/bench/results.csv (and as
# Markdown to build/bench/results.md). Builds what it needs. Not part of
# ./test.sh: a benchmark never fails a build.
#
# BENCH_RUNS (15) start-ups of each program, BENCH_REPEATS (3) runs of each
# in-process measurement (rounds of the long paste), BENCH_IDLE_SECONDS (10)
# of idle pumping.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/install-deps.sh
need_packages "${BUILD_PACKAGES[@]}" xvfb x11-utils

runs=${BENCH_RUNS:-15}
repeats=${BENCH_REPEATS:-3}
idle_seconds=${BENCH_IDLE_SECONDS:-10}
build64=$root/build/bench-win64
build32=$root/build/bench-win32
out=$root/build/bench
mkdir -p "$out"

# Own build directories, so that nobody else's build of build/win64 or
# build/win32 is disturbed. Same sources and flags as the presets.
echo "== build"
cmake -S "$root" -B "$build64" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build64" --target pinaleaf bench_bare bench_launch bench_inproc
cmake -S "$root" -B "$build32" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" >/dev/null
cmake --build "$build32" --target pinaleaf bench_bare

# Set first: stopping the session then ends this prefix's server only.
export WINEPREFIX="$root/build/bench-wineprefix"
. scripts/wine-session.sh
wine_session_xvfb
trap wine_session_stop EXIT
wine_session_prefix "$WINEPREFIX"
wine "$build64/bench_bare.exe" --hidden </dev/null >/dev/null 2>&1 &

raw=$out/raw.txt
errors=$out/errors.txt
: >"$raw"
: >"$errors"
# Output goes to files, never to a pipe that Wine's helpers would inherit.
bench() {
  if ! wine "$build64/$1" "${@:2}" </dev/null >>"$raw" 2>>"$errors"; then
    echo "$* failed:" >&2
    cat "$errors" >&2
    return 1
  fi
}
load=$(cut -d' ' -f1 /proc/loadavg)

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
exe_imports=$(imports "$build32/pinaleaf.exe")
bare_imports=$(imports "$build32/bench_bare.exe")
exe_foreign=$(foreign "$exe_imports")

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
# within_ratio VALUE BASELINE UNIT: met when VALUE is at most 1.2x BASELINE,
# judged on the unrounded ratio
within_ratio() {
  awk -v a="$1" -v b="$2" -v u="$3" 'BEGIN {if (a == "nan" || b == "nan") {print "no figure"; exit}
    r = a / b; if (r <= 1.2) printf "met (%.3fx)\n", r
    else printf "missed by %.1f %s (%.3fx the baseline)\n", a - 1.2 * b, u, r}'
}
runs_of() { awk -v k="$1" '$1 == k {print $2}' "$raw" | paste -sd, - | sed 's/,/, /g'; }

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
per_note=$(awk -v b="$(median bytes_per_note)" 'BEGIN {print b / 1024}')
per_bare=$(awk -v b="$(median bytes_per_bare)" 'BEGIN {print b / 1024}')
row "Private bytes per extra note (over 100, 64-bit)" KB "$(fmt "$per_note" 1)" "$(fmt "$per_bare" 1)" \
  "bare window + EDIT" "<= 64 KB" "$(result "$per_note" 64 KB)"
for what in hooks windows gdi; do
  before=$(median "leak_${what}_before") after=$(median "leak_${what}_after")
  row "${what^} left behind by 500 notes made and closed" "" "$((after - before))" \
    "$before" "before" "0" "$([ "$after" = "$before" ] && echo met || echo "missed by $((after - before))")"
done
exe_kb=$(size_kb "$build32/pinaleaf.exe")
row "Size of the 32-bit pinaleaf.exe" KB "$exe_kb" "$(size_kb "$build32/bench_bare.exe")" "bare window" \
  "<= 400 KB" "$(result "$exe_kb" 400 KB)"
row "DLLs the 32-bit pinaleaf.exe imports" "" "$exe_imports" "$bare_imports" "bare window" \
  "Windows system DLLs only" "$([ -z "$exe_foreign" ] && echo met || echo "missed ($exe_foreign)")"

{
  echo "measure,unit,pinaleaf,baseline,baseline_is,target,result"
  awk -F'|' '{for (i = 1; i <= NF; i++) {f = $i; gsub(/"/, "\"\"", f); printf "%s\"%s\"", (i > 1 ? "," : ""), f}
              print ""}' "$rows"
} >"$csv"

context="Wine $(wine --version 2>/dev/null | sed 's/^wine-//'), $(nproc) CPUs, load average $load at the start and $(cut -d' ' -f1 /proc/loadavg) at the end"
{
  echo "Measured under $context."
  echo
  echo "| Measure | Pinaleaf | Baseline (same run) | Target | Result |"
  echo "| --- | --- | --- | --- | --- |"
  awk -F'|' '{u = ($2 == "" ? "" : " " $2); printf "| %s | %s%s | %s%s (%s) | %s | %s |\n", $1, $3, u, $4, u, $5, $6, $7}' "$rows"
  echo
  echo "Start-up runs (ms), in order: bare window $(awk '$1 == "bare_start_ms_runs" {print $2}' "$raw" | sed 's/,/, /g');" \
    "Pinaleaf $(awk '$1 == "start_ms_runs" {print $2}' "$raw" | sed 's/,/, /g')."
  echo
  echo "Paste rounds (ms), in order: Pinaleaf $(runs_of paste_ms); plain EDIT $(runs_of paste_bare_ms)" \
    "($(awk '$1 == "paste_text_chars" {print $2; exit}' "$raw") UTF-16 code units pasted). CPU time of the" \
    "pumping thread meanwhile, medians: Pinaleaf $(fmt "$(median paste_cpu_ms)" 0) ms," \
    "plain EDIT $(fmt "$(median paste_bare_cpu_ms)" 0) ms."
} >"$out/results.md"

echo
echo "Pinaleaf under $context"
awk -F'|' 'BEGIN {h[1] = "Measure"; h[2] = "Pinaleaf"; h[3] = "Baseline"; h[4] = "Target"; h[5] = "Result"}
  {u = ($2 == "" ? "" : " " $2); n++; c[n, 1] = $1; c[n, 2] = $3 u; c[n, 3] = $4 u " (" $5 ")"; c[n, 4] = $6; c[n, 5] = $7}
  END {for (j = 1; j <= 5; j++) {w[j] = length(h[j]); for (i = 1; i <= n; i++) if (length(c[i, j]) > w[j]) w[j] = length(c[i, j])}
       for (j = 1; j <= 5; j++) printf "%-*s  ", w[j], h[j]; print ""
       for (j = 1; j <= 5; j++) {s = ""; for (k = 0; k < w[j]; k++) s = s "-"; printf "%s  ", s}; print ""
       for (i = 1; i <= n; i++) {for (j = 1; j <= 5; j++) printf "%-*s  ", w[j], c[i, j]; print ""}}' "$rows"
tail -n3 "$out/results.md"
echo
echo "Written: $csv, $out/results.md (each run's figures: $raw)"
