#!/usr/bin/env bash
# Installs the Debian package on a fresh Debian 12 root and checks that it works there: the menu
# entry, the tray icon, Super+V, the desktop entry's action and Help from the installed path (the
# end-to-end scenario tests/e2e/test_install.sh, run inside the root on a private X session); then
# removes it and checks that nothing of it is left.
#
# The root is a debootstrap minimal root made from Debian's own packages; a tarball of it is kept
# in build/ so that later runs are quick. Slow (minutes), needs root and the Debian mirror: run it
# by hand before a release, not in CI.
#
#   scripts/check-deb-install.sh [BUILD-FOLDER]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
say() { echo "check-deb-install: $*" >&2; }
[ "$(id -u)" = 0 ] || { say "needs root (debootstrap and chroot)"; exit 1; }
for p in debootstrap; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
        { say "installing $p"; apt-get install -y -qq --no-install-recommends "$p" >/dev/null; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/scrawlix-root.XXXXXX")
root=$work/root
mounts=()
cleanup() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || :; done
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT

say "building the package"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb") >"$work/cpack.log" 2>&1 ||
    { tail -20 "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/deb/scrawlix_*.deb)

cache=$build/debian12-minbase.tar
if [ ! -f "$cache" ]; then
    say "making a Debian 12 minimal root with debootstrap (once; kept as $cache)"
    debootstrap --variant=minbase bookworm "$work/fresh" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -20 "$work/debootstrap.log" >&2; exit 1; }
    tar -C "$work/fresh" -cf "$cache.part" . && mv "$cache.part" "$cache"
    rm -rf --one-file-system "$work/fresh"
fi
mkdir -p "$root"
tar -C "$root" -xf "$cache"

for m in proc sys dev dev/pts; do
    mount --bind "/$m" "$root/$m"
    mounts+=("$root/$m")
done
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

say "installing the tools of the X session check"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends xvfb xauth openbox tint2 dbus-x11 xdotool x11-utils \
    imagemagick shared-mime-info man-db >/dev/null

cp "$deb" "$root/tmp/"
say "installing $(basename "$deb") with apt, Recommends included"
in_root apt-get install -y -qq "/tmp/$(basename "$deb")" >"$work/install.log" 2>&1 || { tail -20 "$work/install.log" >&2; exit 1; }
files=$(in_root dpkg -L scrawlix)

say "the menu entry"
in_root test -f /usr/share/applications/io.github.scrawlix.Scrawlix.desktop
grep -q '^Categories=.*Graphics' "$root/usr/share/applications/io.github.scrawlix.Scrawlix.desktop"
say "the help viewer the package recommends takes the help file: $(in_root xdg-mime query default application/vnd.ms-htmlhelp || :)"

say "running the installed program on a private X session"
mkdir -p "$root/tmp/e2e"
cp tests/e2e/{session.sh,session_lib.sh,lib.sh,canvas_lib.sh,test_install.sh} "$root/tmp/e2e/"
for section in $(sed -n 's/^t_\([a-z0-9_]*\)().*/\1/p' tests/e2e/test_install.sh); do # each in a session of its own
    in_root env SCRAWLIX_INSTALLED_ROOT=/ SCRAWLIX_BIN=/usr/bin/scrawlix bash /tmp/e2e/session.sh bash /tmp/e2e/test_install.sh "$section"
done

say "removing the package"
in_root apt-get purge -y -qq scrawlix >/dev/null
in_root apt-get autoremove --purge -y -qq >/dev/null
left=""
while read -r f; do
    [ -n "$f" ] && [ "$f" != "/." ] && [ -f "$root$f" ] && left+="$f "
done <<<"$files"
found=$(cd "$root" && find . -xdev -iname '*scrawlix*' ! -path './tmp/*' ! -path './var/cache/apt/*' ! -path './var/lib/apt/*' ! -path './var/log/*')
[ -z "$left$found" ] || { say "left behind: $left $found"; exit 1; }
say "PASS: installed, ran and removed cleanly"
