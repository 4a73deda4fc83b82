#!/usr/bin/env bash
# Capture latency in headless Wayland sessions: from a capture request (the running program's
# CaptureScreen on the session bus) to the canvas on the screen, over RUNS captures each on sway
# (wlroots screencopy; the canvas mapped on XWayland, timed by bench/xwatch), on KWin (its
# ScreenShot2 interface) and on GNOME Shell (the desktop portal, screenshots allowed; both timed by
# the program's own clock, from the request to the canvas shown) and, where WAYLAND_BENCH_PORTAL=1,
# on sway through the desktop portal alone. Prints the median and the slowest per desktop. Goal: a
# median within 250 ms on sway and on KWin.
#
#   bench/wayland.sh [RUNS]   after a build (scripts/build.sh), with scripts/setup.sh --tests
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
checkout=$(cd "$here/.." && pwd)
runs=${1:-20}
build=${WAYLAND_BENCH_BUILD:-$checkout/build}
for f in "$build/scrawlix" "$build/bench/xwatch" "$build/tests/wayland/scrawlix_pattern" \
    "$build/tests/wayland/libscrawlix_mutter_display.so"; do
    [ -x "$f" ] || { echo "wayland bench: no program at $f; build it first (scripts/build.sh)" >&2; exit 1; }
done

desktops=("sway|" "kwin|WL_DESKTOP=kde" "gnome|WL_DESKTOP=gnome")
[ "${WAYLAND_BENCH_PORTAL:-0}" = 1 ] && desktops+=("sway-portal|WAYLAND_BENCH_NO_SCREENCOPY=1")
for entry in "${desktops[@]}"; do
    name=${entry%%|*}
    setting=${entry#*|}
    out=$(env $setting BENCH_RUNS="$runs" SCRAWLIX_BIN="$build/scrawlix" SCRAWLIX_XWATCH="$build/bench/xwatch" \
        SCRAWLIX_PATTERN="$build/tests/wayland/scrawlix_pattern" \
        SCRAWLIX_MUTTER_DISPLAY="$build/tests/wayland/libscrawlix_mutter_display.so" \
        bash "$checkout/tests/wayland/session.sh" bash "$here/wayland_runs.sh") ||
        { echo "wayland bench: the $name session failed" >&2; exit 1; }
    echo "$name: $out"
done
