#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Scrawlix need.
# Idempotent and quiet when everything is already present.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev
    libxcb1-dev libxcb-shm0-dev libxcb-xinput-dev libxcb-keysyms1-dev libxcb-xfixes0-dev
    libxcb-damage0-dev
    libwayland-dev
    fp-utils
    # lupdate and lrelease: the translations' template and catalogues (cmake/translations.cmake)
    qt6-l10n-tools
    # run (xchm shows the help file)
    xdg-utils fonts-dejavu-core xchm
)
if [ "${1:-}" = "--tests" ]; then
    packages+=(
        xvfb xauth openbox xfwm4 xfce4-panel tint2 dbus-x11 xdotool xclip wmctrl imagemagick x11-utils x11-xserver-utils
        haskell-status-notifier-item-utils
        cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils libchm-bin ghostscript
        # the Windows build (scripts/winqt.sh builds its Qt from Debian's source) and Wine to run it
        g++-mingw-w64-x86-64-posix dpkg-dev wine wine64
        # the install and package checks
        desktop-file-utils appstream lintian dpkg-dev file man-db
        # how file managers find the desktop entry for a type of file (gio)
        libglib2.0-bin
        # a headless Wayland session: compositor, XWayland, the screenshot portal, native clients
        sway xwayland grim pipewire xdg-desktop-portal xdg-desktop-portal-wlr qt6-wayland
        python3-dbus python3-gi util-linux
        # KWin (Plasma's compositor, which hosts kglobalaccel) with KDE's portal backend
        kwin-wayland xdg-desktop-portal-kde
        # GNOME Shell (with gjs for its notification service) and GNOME's portal backend
        gnome-shell gjs xdg-desktop-portal-gnome
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo="sudo"; else
        echo "setup: these packages are missing and I am not root: ${missing[*]}" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
