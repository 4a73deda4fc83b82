#!/usr/bin/env bash
# Builds Scrawlix for Windows on Linux: MinGW-w64 against the Qt for Windows of scripts/winqt.sh,
# with warnings as errors, then lays out the portable folder (scrawlix.exe with Qt's libraries,
# plug-ins and the help beside it) in BUILD/Scrawlix. The test programs are built too; `ctest`
# in BUILD runs them under Wine. scripts/setup.sh --tests installs what it needs.
#
# Usage: scripts/winbuild.sh [BUILD [RENDERART]]
#   BUILD      the Windows build folder (default build/windows)
#   RENDERART  a native scrawlix_renderart, which renders the drawings at build time
#              (default: the one of build/, built when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-$root/build/windows}
renderart=${2:-}

qt=$(scripts/winqt.sh)

if [ -z "$renderart" ]; then
    [ -f build/build.ninja ] || scripts/build.sh
    cmake --build build --target scrawlix_renderart
    renderart=$root/build/resources/scrawlix_renderart
fi

start=$SECONDS
cmake -S "$root" -B "$out" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_FIND_ROOT_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DSCRAWLIX_WERROR=ON -DSCRAWLIX_RENDERART="$renderart" >/dev/null
cmake --build "$out"
rm -rf "$out/Scrawlix"
cmake --install "$out" --prefix "$out/Scrawlix" >/dev/null
echo "winbuild: $out/Scrawlix/scrawlix.exe built in $((SECONDS - start)) s"
