#!/usr/bin/env bash
# Time from the hot-key press to the canvas being mapped, with the program's settle wait (which lasts
# until the clock's next second) measured by the program itself and subtracted.
# Run from the checkout after a build: bench/hotkey_latency.sh [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${E2E_TMP:-}" ]; then
    exec "$here/../tests/e2e/session.sh" bash "$here/hotkey_latency.sh" "$@"
fi
source "$here/../tests/e2e/lib.sh"
source "$here/../tests/e2e/canvas_lib.sh"
runs=${1:-10}

export QT_LOGGING_RULES="scrawlix.capture.info=true"
noisy_desktop
start_scrawlix_settled
press_hotkey v
wait_canvas
canvas=$(canvas_window)
viewable() { xwininfo -id "$canvas" 2>/dev/null | grep -q IsViewable; }
results=()
for i in $(seq 1 "$runs"); do
    click_toolbox totray
    wait_for 5 canvas_hidden
    nap 0.3
    waits_before=$(grep -c 'settle wait' "$SCRAWLIX_LOG" || true)
    t0=${EPOCHREALTIME/./}
    press_hotkey v
    until viewable; do :; done
    t1=${EPOCHREALTIME/./}
    wait_for 5 eval '[ "$(grep -c "settle wait" "$SCRAWLIX_LOG")" -gt '"$waits_before"' ]'
    wait_ms=$(grep 'settle wait' "$SCRAWLIX_LOG" | tail -1 | awk '{ print $(NF-1) }')
    total_ms=$(((t1 - t0) / 1000))
    results+=("$total_ms $wait_ms $((total_ms - wait_ms))")
    wait_canvas
done
printf '%s\n' "${results[@]}" | sort -n -k3 | awk '
    { t[NR] = $1; w[NR] = $2; r[NR] = $3 }
    END {
        printf "runs: %d\n", NR
        printf "press to mapped, total   median %d ms\n", t[int((NR + 1) / 2)]
        printf "settle wait (by program) median %d ms\n", w[int((NR + 1) / 2)]
        printf "press to mapped minus wait: median %d ms, min %d ms, max %d ms\n", r[int((NR + 1) / 2)], r[1], r[NR]
    }'
stop_scrawlix || true
