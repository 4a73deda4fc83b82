#!/usr/bin/env bash
# Checks that the Windows build still compiles, as far as that can be told without Windows:
# MinGW's g++ with its real Windows headers, and Qt's own headers, which are platform-neutral
# enough for a syntax check. Nothing is linked or run.
#
# CMake says what a Windows build compiles: a configuration with the Win32 backend selected
# (SCRAWLIX_PLATFORM=win32) lists every source and its definitions in compile_commands.json.
# That covers the files that create the backend, so an interface method the Win32 backend
# does not implement fails here too.
#
# Usage: scripts/wincheck.sh [work folder]   (default build/wincheck)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=${1:-$root/build/wincheck}
cxx=x86_64-w64-mingw32-g++-posix

scripts/setup.sh --tests

cmake -S "$root" -B "$work/config" -G Ninja -DSCRAWLIX_PLATFORM=win32 -DSCRAWLIX_TESTS=OFF \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake -DCOMMANDS="$work/config/compile_commands.json" -DSOURCE_DIR="$root/src" \
    -DOUT_DIR="$work/sources" -P scripts/wincheck-flags.cmake

shopt -s nullglob
rsp=("$work/sources"/*.rsp)
if ! [ -e "$work/sources/platform.platform.cpp.rsp" ] ||
    ! compgen -G "$work/sources/platform.win32.*.cpp.rsp" >/dev/null; then
    echo "wincheck: the Windows configuration does not compile the Win32 backend; nothing to check" >&2
    exit 1
fi

# Qt defines UNICODE and _UNICODE for every target that uses it on Windows; Qt for Linux does not.
failed=$work/failed
: >"$failed"
export cxx failed
printf '%s\0' "${rsp[@]}" | xargs -0 -P2 -I{} bash -c '
    "$cxx" -std=c++17 -fsyntax-only -DUNICODE -D_UNICODE -Wall -Wextra -Werror "@$1" ||
        tail -n1 "$1" | tr -d "\"" >>"$failed"' _ {}

if [ -s "$failed" ]; then
    echo "wincheck: $(wc -l <"$failed") of ${#rsp[@]} sources of the Windows build fail:" \
        "$(sort "$failed" | sed "s|^$root/||" | tr '\n' ' ')" >&2
    exit 1
fi
echo "wincheck: all ${#rsp[@]} sources of the Windows build pass the syntax check"
