#!/usr/bin/env bash
# Builds a small Qt for 64-bit Windows with MinGW-w64 from Debian's own qt6-base source, the same
# version as the host's Qt, whose tools (moc, rcc, uic) the cross build borrows. The result goes
# to a cache folder outside the checkout, named after the Qt version, the configure flags and the
# toolchain, and is reused whenever it is already there. The folder's path is the only thing
# printed on standard output, so a caller can write  qt=$(scripts/winqt.sh).
#
# Only qtbase is built: Core, Gui, Widgets, Network, PrintSupport and Test, with the windows,
# offscreen and minimal platform plug-ins and the image plug-ins. There is no Qt SVG for Windows
# (Debian's mirror lacks its source), so the Windows build of Scrawlix ships its art as PNGs.
#
# The compile runs at the lowest priority: on a two-core machine it takes the better part of an
# hour, and it should not starve whatever else runs.
#
# Environment: SCRAWLIX_WINQT_CACHE  the cache folder (default /var/cache/scrawlix-winqt)
#              SCRAWLIX_WINQT_JOBS   parallel compile jobs (default: the number of cores)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
toolchain=$root/cmake/mingw-w64.cmake
cache=${SCRAWLIX_WINQT_CACHE:-/var/cache/scrawlix-winqt}
jobs=${SCRAWLIX_WINQT_JOBS:-$(nproc)}
triplet=x86_64-w64-mingw32

log() { echo "winqt: $*" >&2; }

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

# The host's Qt tools must be of the very version being built.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
if [ -z "$version" ]; then
    log "qt6-base-dev-tools is not installed; run scripts/setup.sh --tests first"
    exit 1
fi
upstream=${version%%+*}

flags=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF
    -DFEATURE_icu=OFF -DFEATURE_openssl=OFF -DFEATURE_pkg_config=OFF
    # Debian's source has no wintab, which tablet events on Windows need.
    -DFEATURE_tabletevent=OFF
    # Turning the feature off alone would leave the dynamic OpenGL loader on, which fails here.
    -DINPUT_opengl=no
)

# A fix to Qt's source. With Direct2D off, Qt leaves out its DirectWrite font engine and font
# database, yet the Windows print engine and platform plug-in still call them when DirectWrite is
# on, and Qt6PrintSupport.dll and qwindows.dll fail to link. Both then take the GDI path, as the
# rest of Qt does.
fix_source() {
    sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
        "$1/src/printsupport/platform/windows/qprintengine_win.cpp"
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
        "$1/src/plugins/platforms/windows/qwindowsintegration.cpp"
}

# The toolchain counts by its compilers: their versions, not the wording of the toolchain file.
key=$({
    echo "$version"
    printf '%s\n' "${flags[@]}"
    declare -f fix_source
    "$triplet-gcc-posix" --version | head -n1
    "$triplet-g++-posix" --version | head -n1
    dpkg-query -W -f='${Version}\n' mingw-w64-x86-64-dev
} | sha256sum | cut -c1-12)
prefix=$cache/qt-$upstream-$triplet-$key

if [ -e "$prefix/.complete" ]; then
    log "using $prefix"
    echo "$prefix"
    exit 0
fi

$sudo mkdir -p "$cache"
[ -n "$sudo" ] && $sudo chown "$(id -u):$(id -g)" "$cache"
# Two builds at once of the same Qt would trample each other: the second one waits.
exec 9>"$cache/.lock"
flock 9
if [ -e "$prefix/.complete" ]; then
    log "using $prefix, built meanwhile"
    echo "$prefix"
    exit 0
fi

work=$cache/work-$key
logfile=$cache/qt-$upstream-$triplet-$key.log
start=$SECONDS
# A build that was cut short (a session's end, a machine's restart) goes on where it stopped.
if [ -f "$work/build/build.ninja" ]; then
    log "resuming the build of Qt $version for $triplet in $work (log: $logfile)"
else
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    log "building Qt $version for $triplet into $prefix (log: $logfile)"

    # Debian's sources come through apt; the deb-src lines may have to be switched on first.
    if ! (cd "$work" && apt-get source --only-source "qt6-base=$version" >>"$logfile" 2>&1); then
        sources=/etc/apt/sources.list.d/debian.sources
        if [ -f "$sources" ] && ! grep -q '^Types:.*deb-src' "$sources"; then
            log "switching on Debian's source packages in $sources"
            $sudo sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
        fi
        $sudo apt-get update -qq
        (cd "$work" && apt-get source --only-source "qt6-base=$version" >>"$logfile" 2>&1) || {
            log "could not fetch the source of qt6-base $version; see $logfile"
            exit 1
        }
    fi
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
    fix_source "$src"
    log "source ready after $((SECONDS - start)) s"

    # Qt's build keeps its own copy of the toolchain file: the checkout may go, the cache stays.
    cp "$toolchain" "$work/mingw-w64.cmake"
    if ! cmake -S "$src" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$work/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        "${flags[@]}" >>"$logfile" 2>&1; then
        rm -rf "$work/build"
        log "configuring Qt failed; see $logfile"
        exit 1
    fi
    log "configured after $((SECONDS - start)) s"
fi

if ! nice -n 19 cmake --build "$work/build" --parallel "$jobs" >>"$logfile" 2>&1; then
    log "building Qt failed; see $logfile"
    exit 1
fi
log "built after $((SECONDS - start)) s"

cmake --install "$work/build" >>"$logfile" 2>&1
touch "$prefix/.complete"
rm -rf "$work"
log "Qt for $triplet ready in $prefix after $((SECONDS - start)) s"
echo "$prefix"
