#!/usr/bin/env bash
# Checks Pinaleaf's Debian package, then installs it as a user would:
#   packaging/test-deb.sh dist/pinaleaf_<version>_amd64.deb
#
# 1. Its control fields, its exact list of files, its menu entry
#    (desktop-file-validate) and icons, and lintian.
# 2. A fresh Debian 12 (debootstrap, minbase; made once and kept in
#    build/debian12/base.tar, the packages apt fetches in
#    build/debian12/apt-archives) gets `apt install ./pinaleaf_..._amd64.deb`;
#    then the menu entry's command, run as a user of that system on a private
#    X server, must show the first note ("Form1") with the program's icon,
#    which it reads from its installed files. The test system is removed
#    once it passes, and kept in build/debian12/root when a check fails.
#
# Needs root (debootstrap, chroot, mounts). Stops only what it started, and
# removes the test system only once nothing is mounted inside it.
# PINALEAF_DEB_APT_OPTIONS adds options to that apt (--no-install-recommends:
# the program must start on its Depends alone).
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/.." && pwd)
deb=$(realpath "${1:?usage: packaging/test-deb.sh PACKAGE.deb}")
cd "$root_dir"
. scripts/install-deps.sh
need_packages dpkg-dev lintian desktop-file-utils debootstrap xvfb x11-utils xdotool imagemagick

fail() {
  echo "package check failed: $*" >&2
  exit 1
}
# grep -q would leave its writer a broken pipe, which pipefail takes for a failure.
has() { grep "$@" >/dev/null; }

version=$(sed -n 's/^project(Pinaleaf VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$(basename "$deb")" = "pinaleaf_${version}_amd64.deb" ] || fail "named $(basename "$deb")"

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pinaleaf ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), the project's $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
[ "$(field Section)" = x11 ] || fail "Section is '$(field Section)'"
field Maintainer | has -E '^[^<]+ <[^@ ]+@[^> ]+>$' || fail "Maintainer is '$(field Maintainer)'"
field Description | sed -n 2p | has . || fail "no long description"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libxcb1 libstdc\\+\\+6; do
  field Depends | has -E "(^|, )$lib( |,|$)" || fail "Depends lacks $lib: $(field Depends)"
done
for want in "xdg-utils" "pipewire-bin | pulseaudio-utils | alsa-utils"; do
  field Recommends | has -F "$want" || fail "Recommends lacks '$want': $(field Recommends)"
done

echo "== files"
expected=(
  ./usr/bin/pinaleaf
  ./usr/share/applications/pinaleaf.desktop
  ./usr/share/doc/pinaleaf/changelog.gz
  ./usr/share/doc/pinaleaf/copyright
  ./usr/share/man/man1/pinaleaf.1.gz
  ./usr/share/pinaleaf/HAND-M.CUR
  ./usr/share/pinaleaf/Reminder.wav
  ./usr/share/pinaleaf/pinaleaf.ico
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do expected+=("./usr/share/icons/hicolor/${size}x$size/apps/pinaleaf.png"); done
diff -u <(printf '%s\n' "${expected[@]}" | sort) \
  <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort) || fail "its files differ from the list above"
listing=$(dpkg-deb -c "$deb")
awk '$1 ~ /^-/ && $2 != "root/root" {bad = 1} END {exit bad}' <<<"$listing" || fail "a file not owned by root"
grep -q '^-rwxr-xr-x .* \./usr/bin/pinaleaf$' <<<"$listing" || fail "usr/bin/pinaleaf is not an executable of mode 755"

unpacked=$(mktemp -d)
chroot_dir=$root_dir/build/debian12/root
xvfb_pid="" program_pid=""
unmount_all() {
  local mount
  for mount in tmp/.X11-unix var/cache/apt/archives dev proc; do
    if mountpoint -q "$chroot_dir/$mount"; then umount "$chroot_dir/$mount" || umount -l "$chroot_dir/$mount"; fi
  done
}
cleanup() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  unmount_all
  rm -rf "$unpacked"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/pinaleaf.desktop" || fail "the menu entry is not valid"
entry() { sed -n "s/^$1=//p" "$unpacked/usr/share/applications/pinaleaf.desktop"; }
if [ "$(entry Name)" != Pinaleaf ] || [ "$(entry Icon)" != pinaleaf ] || [ "$(entry Exec)" != pinaleaf ] ||
  [ "$(entry Categories)" != "Utility;" ] || [ -z "$(entry Comment)" ]; then
  fail "the menu entry's fields"
fi
for size in "${sizes[@]}"; do
  file "$unpacked/usr/share/icons/hicolor/${size}x$size/apps/pinaleaf.png" | has "PNG image data, $size x $size," ||
    fail "the ${size}x$size icon is not a PNG of that size"
done
file "$unpacked/usr/bin/pinaleaf" | has 'ELF 64-bit.*x86-64.*, stripped' || fail "usr/bin/pinaleaf is not a stripped x86-64 program"
zcat "$unpacked/usr/share/doc/pinaleaf/changelog.gz" | head -n1 | has "^pinaleaf ($version) " ||
  fail "the changelog's latest entry is not $version"

echo "== lintian"
lint=0
lintian --fail-on error,warning "$deb" >"$unpacked.lintian" 2>&1 || lint=$?
grep -v '^running with root privileges' "$unpacked.lintian" || true
rm -f "$unpacked.lintian"
[ "$lint" -eq 0 ] || fail "lintian"

echo "== a fresh Debian 12"
cache=$root_dir/build/debian12
mkdir -p "$cache/apt-archives/partial"
if [ ! -s "$cache/base.tar" ]; then
  rm -rf "$cache/bootstrap"
  nice debootstrap --variant=minbase bookworm "$cache/bootstrap" http://deb.debian.org/debian >"$cache/debootstrap.log" 2>&1 ||
    fail "debootstrap (see $cache/debootstrap.log)"
  tar -C "$cache/bootstrap" -cf "$cache/base.tar.part" . && mv "$cache/base.tar.part" "$cache/base.tar"
  rm -rf "$cache/bootstrap"
fi
if [ -e "$chroot_dir" ]; then
  # What a run stopped half-way left mounted is let go first; never removed while anything is.
  unmount_all
  [ -z "$(findmnt -rn -o TARGET | grep -F "$chroot_dir/" || true)" ] || fail "something is still mounted in $chroot_dir"
  rm -rf "$chroot_dir"
fi
mkdir -p "$chroot_dir"
tar -C "$chroot_dir" -xf "$cache/base.tar"
# As the installer sets it up: updates and security updates; no service starts.
cat >"$chroot_dir/etc/apt/sources.list" <<'SOURCES'
deb http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
SOURCES
# A throwaway system: dpkg need not sync each file to disk.
echo force-unsafe-io >"$chroot_dir/etc/dpkg/dpkg.cfg.d/90unsafe-io"
# apt keeps what it fetched, in the cache bound below, for the next run.
printf 'APT::Keep-Downloaded-Packages "true";\nBinary::apt::APT::Keep-Downloaded-Packages "true";\n' >"$chroot_dir/etc/apt/apt.conf.d/90keep-packages"
printf '#!/bin/sh\nexit 101\n' >"$chroot_dir/usr/sbin/policy-rc.d"
chmod 755 "$chroot_dir/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
mount -t proc proc "$chroot_dir/proc"
mount --bind /dev "$chroot_dir/dev"
mount --bind "$cache/apt-archives" "$chroot_dir/var/cache/apt/archives"
cp "$deb" "$chroot_dir/tmp/"
in_chroot() { chroot "$chroot_dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

echo "== apt install ./$(basename "$deb") ${PINALEAF_DEB_APT_OPTIONS:-}"
started=$(date +%s)
in_chroot apt-get update -qq >/dev/null || fail "apt-get update in the test system"
# shellcheck disable=SC2086  # the options are words
in_chroot sh -c "cd /tmp && apt install -y -q ${PINALEAF_DEB_APT_OPTIONS:-} ./$(basename "$deb")" >"$cache/apt-install.log" 2>&1 ||
  { tail -n 30 "$cache/apt-install.log" >&2; fail "apt install (see $cache/apt-install.log)"; }
echo "installed in $(($(date +%s) - started)) s"
in_chroot dpkg-query -W -f='${Status}\n' pinaleaf | has "install ok installed" || fail "pinaleaf is not installed"

echo "== in the menu, and started from it"
in_chroot test -f /usr/share/applications/pinaleaf.desktop || fail "no menu entry installed"
for size in "${sizes[@]}"; do
  in_chroot test -f "/usr/share/icons/hicolor/${size}x$size/apps/pinaleaf.png" || fail "no ${size}x$size icon installed"
done
if [ -z "${PINALEAF_DEB_APT_OPTIONS:-}" ]; then
  in_chroot test -f /usr/share/icons/hicolor/index.theme || fail "no icon theme index (hicolor-icon-theme)"
  in_chroot sh -c 'command -v xdg-open' >/dev/null || fail "no xdg-open"
  in_chroot sh -c 'command -v pw-play || command -v paplay || command -v aplay' >/dev/null || fail "no sound player"
fi
command=$(in_chroot sed -n 's/^Exec=//p' /usr/share/applications/pinaleaf.desktop)
in_chroot sh -c "command -v $command" >/dev/null || fail "the menu entry's command '$command' is not on the PATH"
in_chroot useradd -m -s /bin/sh pina
uid=$(in_chroot id -u pina)
in_chroot install -d -m 700 -o pina -g pina "/run/user/$uid"

fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
[ -s "$fdfile" ] || fail "Xvfb did not start"
display=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
rm -f "$fdfile"
mkdir -p "$chroot_dir/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$chroot_dir/tmp/.X11-unix"

chroot --userspec=pina:pina "$chroot_dir" env -i HOME=/home/pina USER=pina LOGNAME=pina SHELL=/bin/sh \
  PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display" XDG_RUNTIME_DIR="/run/user/$uid" \
  sh -c "cd && exec $command" >"$cache/program.log" 2>&1 &
program_pid=$!
note=""
for _ in $(seq 1 200); do
  for window in $(DISPLAY=$display xdotool search --onlyvisible --name '^Form1$' 2>/dev/null || true); do
    DISPLAY=$display xprop -id "$window" _NET_WM_PID | has "= $program_pid\$" && note=$window
  done
  [ -n "$note" ] && break
  kill -0 "$program_pid" 2>/dev/null || { cat "$cache/program.log" >&2; fail "the program ended at start"; }
  sleep 0.1
done
[ -n "$note" ] || { cat "$cache/program.log" >&2; fail "no note showed within 20 s"; }
DISPLAY=$display xwininfo -id "$note" | has 'Map State: IsViewable' || fail "the note is not viewable"
echo "the first note shows: $(DISPLAY=$display xwininfo -id "$note" | sed -n 's/.*-geometry //p')"
# The window icon is read from the installed files (share/pinaleaf), as are
# the reminder's sound and the hand pointer.
sleep 0.5
DISPLAY=$display xprop -id "$note" _NET_WM_ICON | has 'Icon (16 x 16)' ||
  fail "the note has no window icon: the installed program did not find its files in /usr/share/pinaleaf"
# Drawn: the middle of its text area is a note's light yellow, not the black screen.
DISPLAY=$display import -window root "$cache/installed-note.png"
read -r x y w h < <(DISPLAY=$display xwininfo -id "$note" |
  awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} /Width/ {w = $NF} /Height/ {h = $NF}
       END {print x, y, w, h}')
colour=$(convert "$cache/installed-note.png" -format "%[pixel:p{$((x + w / 2)),$((y + h * 2 / 3))}]" info:)
[ "$colour" = "srgb(255,255,192)" ] || fail "the note is not drawn: its middle is $colour (see $cache/installed-note.png)"
echo "The package installs and starts on a fresh Debian 12."
# The test system goes once it passed (kept when a check failed, to look into).
kill "$program_pid" 2>/dev/null || true
program_pid=""
unmount_all
[ -n "$(findmnt -rn -o TARGET | grep -F "$chroot_dir/" || true)" ] || rm -rf "$chroot_dir"
