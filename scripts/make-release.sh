#!/usr/bin/env bash
# Builds and packs both releases into dist/:
#   pinaleaf-<version>-win32.zip  the 32-bit Windows program, its two
#                                 companion files, a README and the licence
#   pinaleaf_<version>_amd64.deb  the Linux program for Debian 12 (CPack),
#                                 checked and installed into a fresh Debian 12
#                                 by packaging/test-deb.sh before it is kept
#   scripts/make-release.sh [win32] [deb]   (both unless told)
# Needs root for the package's install test (debootstrap, chroot).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/install-deps.sh

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(win32 deb)
for target in "${targets[@]}"; do
  case "$target" in
    win32 | deb) ;;
    *)
      echo "usage: scripts/make-release.sh [win32] [deb]" >&2
      exit 2
      ;;
  esac
done
wants() { [[ " ${targets[*]} " == *" $1 "* ]]; }

version=$(sed -n 's/^project(Pinaleaf VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p dist

if wants win32; then
  need_packages "${BUILD_PACKAGES[@]}"
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target pinaleaf
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  mkdir "$stage/pinaleaf-$version"
  cp build/win32/pinaleaf.exe build/win32/Reminder.wav build/win32/HAND-M.CUR "$stage/pinaleaf-$version/"
  sed 's/$/\r/' assets/README.txt >"$stage/pinaleaf-$version/README.txt"
  sed 's/$/\r/' LICENSE >"$stage/pinaleaf-$version/LICENSE.txt"
  zip="$PWD/dist/pinaleaf-$version-win32.zip"
  rm -f "$zip"
  (cd "$stage" && cmake -E tar cf "$zip" --format=zip "pinaleaf-$version")
  echo "$zip"
fi

if wants deb; then
  # dpkg-shlibdeps (dpkg-dev) names the Qt libraries the program links.
  need_packages "${LINUX_PACKAGES[@]}" dpkg-dev
  cmake --preset linux-package >/dev/null
  cmake --build --preset linux-package
  deb=pinaleaf_${version}_amd64.deb
  rm -f "build/linux-package/$deb" "dist/$deb"
  cpack --preset linux-package
  packaging/test-deb.sh "build/linux-package/$deb"
  cp "build/linux-package/$deb" "dist/$deb"
  echo "$PWD/dist/$deb"
fi
