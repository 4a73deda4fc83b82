#!/usr/bin/env bash
# Screen capture benchmark: reads the whole screen of a private Xvfb at 1920x1080 and at 3840x2160
# and compares the median time with a memcpy of the same bytes in the same run (goal: at most 2.5x
# at 3840x2160).
#
#   bench/capture.sh [RUNS [IDLE_MS]]  after a build (scripts/build.sh); CAPTURE_BENCH picks another
#                                      binary; with IDLE_MS each capture follows that long idle
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
checkout=$(cd "$here/.." && pwd)
runs=${1:-25}
idle_ms=${2:-0}
bin=${CAPTURE_BENCH:-$checkout/build/bench/capture_bench}
if [ ! -x "$bin" ]; then
    echo "capture bench: no program at $bin; build it first (scripts/build.sh)" >&2
    exit 1
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/scrawlix-capture.XXXXXX")
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -m 0700 "$tmp/run"
export XDG_RUNTIME_DIR=$tmp/run

for size in 1920x1080 3840x2160; do
    mkfifo "$tmp/displayfd"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset +extension MIT-SHM \
        3>"$tmp/displayfd" >"$tmp/xvfb.log" 2>&1 </dev/null &
    xvfb_pid=$!
    display=""
    read -r -t 20 display <"$tmp/displayfd" || true
    rm -f "$tmp/displayfd"
    if [ -z "$display" ]; then
        echo "capture bench: Xvfb did not start at $size" >&2
        cat "$tmp/xvfb.log" >&2
        exit 1
    fi
    DISPLAY=:$display QT_QPA_PLATFORM=xcb "$bin" "$runs" "$idle_ms"
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
done
