#!/usr/bin/env bash
# Builds all presets and runs every test: the layout and clang-tidy checks,
# the unit and contract tests on the simulated platform (plain, then under AddressSanitizer and
# UndefinedBehaviorSanitizer), a bounded fuzzing run, the Linux program's
# tests on Qt under a private X server, then the Win32 tests under Wine,
# 64-bit and 32-bit, in a private X server. Each script stops what it starts.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/install-deps.sh
# The Linux tests run under openbox, and under xfwm4 (with a session bus for
# its settings) and the picom compositor, beside an xterm, and switch the
# keyboard layout (setxkbmap).
need_packages "${BUILD_PACKAGES[@]}" "${LINUX_PACKAGES[@]}" libgtest-dev googletest xvfb x11-utils \
  fonts-liberation fonts-wine libx11-dev libxtst-dev xclip openbox xfwm4 dbus-daemon picom xterm x11-xkb-utils
# Without 32-bit Wine the 64-bit tests still run, and the 32-bit ones are
# reported as not run.
need_wine32 || true
# The fuzz target needs clang and its sanitizer runtime; the code checks
# clang-format and clang-tidy.
need_packages clang libclang-rt-14-dev clang-format clang-tidy

# Warnings are errors in CI.
werror=()
[ "${CI:-}" = "true" ] && werror=(-DPINALEAF_WERROR=ON)

for preset in host host-asan host-fuzz linux win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" "${werror[@]}" >/dev/null
  cmake --build --preset "$preset"
done

echo "== layout and clang-tidy"
scripts/check-code.sh
echo "== host tests"
ctest --preset host
echo "== host tests (sanitizers)"
ctest --preset host-asan
echo "== fuzzing the readers of stored text"
ctest --preset host-fuzz
echo "== Linux tests on Qt under Xvfb, openbox and xfwm4"
tests/linux/run-x11-tests.sh
echo "== Win32 tests under Wine"
tests/win32/run-wine-tests.sh
