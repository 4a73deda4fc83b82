#!/usr/bin/env bash
# CPU use of Scrawlix waiting in the tray (canvas hidden) over 10 seconds, and after one capture
# hidden again with the toolbox's Hide. Run from the checkout after a build: bench/idle_cpu.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${E2E_TMP:-}" ]; then
    exec "$here/../tests/e2e/session.sh" bash "$here/idle_cpu.sh" "$@"
fi
source "$here/../tests/e2e/lib.sh"
source "$here/../tests/e2e/canvas_lib.sh"

ticks() { awk '{ print $14 + $15 }' "/proc/$SCRAWLIX_PID/stat"; }
measure() { # LABEL
    local a b hz=$(getconf CLK_TCK)
    a=$(ticks)
    sleep 10
    b=$(ticks)
    awk -v l="$1" -v d=$((b - a)) -v hz="$hz" 'BEGIN { printf "%-34s %6.2f %% of one core (%d ticks in 10 s)\n", l, 100 * d / hz / 10, d }'
}

start_scrawlix_settled
sleep 1
measure "in the tray after start-up"
press_hotkey v
wait_canvas
measure "canvas shown (timer running)"
click_toolbox hide
wait_for 5 canvas_hidden
measure "canvas kept hidden"
stop_scrawlix || true
