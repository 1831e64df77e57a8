#!/usr/bin/env bash
# Builds the 32-bit program and packs dist/pinaleaf-<version>-win32.zip:
# pinaleaf.exe, its two companion files, a README and the licence.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/install-deps.sh
need_packages "${BUILD_PACKAGES[@]}"

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target pinaleaf
version=$(sed -n 's/^project(Pinaleaf VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/pinaleaf-$version"
cp build/win32/pinaleaf.exe build/win32/Reminder.wav build/win32/HAND-M.CUR "$stage/pinaleaf-$version/"
sed 's/$/\r/' assets/README.txt >"$stage/pinaleaf-$version/README.txt"
sed 's/$/\r/' LICENSE >"$stage/pinaleaf-$version/LICENSE.txt"
mkdir -p dist
zip="$PWD/dist/pinaleaf-$version-win32.zip"
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip "pinaleaf-$version")
echo "$zip"
