#!/usr/bin/env bash
# The checks on the code itself, run by test.sh after the host build:
# every C++ file in the one layout of .clang-format, and clang-tidy's checks
# of .clang-tidy clean over the portable code, the sim, the host tests and
# the Qt layer (the Win32 files need Windows headers, which the host build
# has not).
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t all < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
  'fuzz/*.cpp' 'fuzz/*.h')
if ! clang-format --dry-run --Werror "${all[@]}"; then
  echo "Files out of format: run clang-format -i on them." >&2
  exit 1
fi

mapfile -t portable < <(git ls-files 'src/*.cpp' 'tests/host/*.cpp' 'tests/contract/*.cpp' 'fuzz/*.cpp' |
  grep -v -e '/win32/' -e 'probe_win32' -e '/qt/' -e 'probe_qt')
# The Qt layer and its tests, with the Linux build's flags.
mapfile -t qt < <(git ls-files 'src/platform/qt/*.cpp' 'tests/linux/*.cpp' 'tests/contract/probe_qt.cpp')
# Its count of the findings it keeps quiet (in system headers) is left out.
log=$(mktemp)
status=0
printf '%s\n' "${portable[@]}" |
  xargs -P "$(nproc)" -n 2 clang-tidy -p build/host --quiet --extra-arg=-Wcomma >"$log" 2>&1 || status=$?
printf '%s\n' "${qt[@]}" |
  xargs -P "$(nproc)" -n 2 clang-tidy -p build/linux --quiet --extra-arg=-Wcomma >>"$log" 2>&1 || status=$?
grep -v -E '^[0-9]+ warnings? generated\.$' "$log" || true
rm -f "$log"
[ "$status" -eq 0 ] || echo "clang-tidy found the above." >&2
exit "$status"
