#!/usr/bin/env bash
# Time from the hot-key press (as the X server saw it) to the canvas being mapped, with the
# program's settle wait (which lasts until the clock's next second) measured by the program itself
# and subtracted. Run from the checkout after a build:
#
#   [HOTKEY_AT_MS=N] [SCRAWLIX_SCREEN=WxHxD] bench/hotkey_latency.sh [RUNS]
#
# HOTKEY_AT_MS=N: each press waits until the clock is N ms into its second, so the program's wait
# for the next second is short and the screen read it starts may not finish within it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${E2E_TMP:-}" ]; then
    exec "$here/../tests/e2e/session.sh" bash "$here/hotkey_latency.sh" "$@"
fi
source "$here/../tests/e2e/lib.sh"
source "$here/../tests/e2e/canvas_lib.sh"
runs=${1:-10}
at_ms=${HOTKEY_AT_MS:-}
xwatch=${XWATCH_BIN:-$here/../build/bench/xwatch}
[ -x "$xwatch" ] || fail "no watcher at $xwatch (build it first)"
read -r W H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2]; exit }')

wait_for_ms() {
    [ -n "$at_ms" ] || return 0
    local ms
    while :; do
        ms=$((10#${EPOCHREALTIME#*.} / 1000))
        ((ms >= at_ms && ms <= at_ms + 5)) && return 0
    done
}

export QT_LOGGING_RULES="scrawlix.capture.info=true"
noisy_desktop
start_scrawlix_settled
press_hotkey v
wait_canvas
results=()
for i in $(seq 1 "$runs"); do
    click_toolbox totray
    wait_for 5 canvas_hidden
    nap 0.3
    waits_before=$(grep -c 'settle wait' "$SCRAWLIX_LOG" || true)
    wait_for_ms
    read -r _ key_ms < <("$xwatch" map "$W" "$H" -- xdotool key --clearmodifiers super+v) ||
        fail "no canvas after Super+V"
    wait_for 5 eval '[ "$(grep -c "settle wait" "$SCRAWLIX_LOG")" -gt '"$waits_before"' ]'
    wait_ms=$(grep 'settle wait' "$SCRAWLIX_LOG" | tail -1 | awk '{ print $(NF-1) }')
    results+=("$key_ms $wait_ms")
    wait_canvas
done
median_wait=$(printf '%s\n' "${results[@]}" | awk '{ print $2 }' | sort -g |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)], v[1] }')
printf '%s\n' "${results[@]}" | awk '{ print $1 - $2 }' | sort -g |
    awk -v size="${W}x$H" -v waits="$median_wait" '
    { r[NR] = $1 }
    END {
        split(waits, w, " ")
        printf "%s, %d presses\n", size, NR
        printf "settle wait (by program)    median %.1f ms, min %.1f ms\n", w[1], w[2]
        printf "press to mapped minus wait  median %.1f ms, min %.1f ms, max %.1f ms, max/median %.2f\n",
            r[int((NR + 1) / 2)], r[1], r[NR], r[NR] / r[int((NR + 1) / 2)]
    }'
stop_scrawlix || true
