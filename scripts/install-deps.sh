# Sourced by run.sh, test.sh, bench/run.sh and the release scripts: installs
# the Debian packages that are missing, with one apt-get update first. Needs
# root (or sudo).
sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

need_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  sudo_if_needed apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get install -y -qq "${missing[@]}" >/dev/null
}

# 32-bit Wine, for the shipping 32-bit program.
need_wine32() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" && return 0
  echo "Installing 32-bit Wine (wine32:i386)"
  sudo_if_needed dpkg --add-architecture i386
  sudo_if_needed apt-get update -qq
  if ! DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get install -y -qq wine32:i386 >/dev/null; then
    echo "wine32:i386 could not be installed: the i386 and amd64 versions of Wine in the package" \
      "registry may differ for now. The 32-bit program cannot be run here." >&2
    return 1
  fi
}

BUILD_PACKAGES=(cmake ninja-build g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64)
# The native Linux program: Qt 6 Widgets on X11, and fonts that look like a
# note on Windows (Liberation Sans stands in for Arial).
LINUX_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libxcb1-dev fonts-liberation)
# What the program calls as it runs: xdg-open for e-mail and the web page.
RUN_PACKAGES=(xdg-utils)

# A player for the reminder's sound (the program plays it with the first of
# pw-play, paplay and aplay): where none is, PulseAudio's own where its
# server runs, else ALSA's aplay, which needs no sound server.
need_sound_player() {
  local player
  for player in pw-play paplay aplay; do command -v "$player" >/dev/null && return 0; done
  if grep -qx pulseaudio /proc/[0-9]*/comm 2>/dev/null; then
    need_packages pulseaudio-utils
  else
    need_packages alsa-utils
  fi
}
