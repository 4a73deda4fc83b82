#!/usr/bin/env bash
# The inside of bench/wayland.sh, run by tests/wayland/session.sh: BENCH_RUNS captures, each from
# the request on the bus to the canvas mapped, then the canvas sent back to the tray. Prints
# "median M ms, slowest S ms over N (backend)".
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=/dev/null
source "$here/../tests/wayland/lib.sh"

call() {
    dbus-send --session --print-reply --dest=io.github.scrawlix.Scrawlix /io/github/scrawlix/Scrawlix \
        "io.github.scrawlix.Scrawlix.$1" >/dev/null
}

start_pattern
# On GNOME Shell, the user's "Allow" of screenshots, given once.
[ "${XDG_CURRENT_DESKTOP:-}" = GNOME ] && gnome_allow_screenshots
clock=xwatch
export QT_LOGGING_RULES=scrawlix.capture.info=true
if [ "${WAYLAND_BENCH_NO_SCREENCOPY:-0}" = 1 ]; then start_scrawlix_without_screencopy; else start_scrawlix_settled; fi
wait_for 10 eval 'call ShowToolbox' || fail "the program does not answer on the bus"
call SendToTray
wait_for 5 canvas_hidden || fail "the program's windows stay on the screen"
times=()
for ((i = 0; i < BENCH_RUNS; i++)); do
    nap 0.3
    if [ -n "${SWAYSOCK:-}" ]; then
        # At least half the screen: the canvas, not the toolbox (XWayland may map it before its
        # last resize). The call's reply comes at once, before the capture: only xwatch's line is a
        # number.
        ms=$("$SCRAWLIX_XWATCH" map $((SCREEN_W / 2)) $((SCREEN_H / 2)) -- dbus-send --session --print-reply \
            --dest=io.github.scrawlix.Scrawlix /io/github/scrawlix/Scrawlix io.github.scrawlix.Scrawlix.CaptureScreen \
            2>>"$E2E_TMP/xwatch.log" | awk '/^[0-9.]+ / { print $1 }')
        [ -n "$ms" ] || fail "no canvas within 30 s: $(cat "$E2E_TMP/xwatch.log")"
    else
        # KWin keeps its frames mapped and maps the canvas inside one, which xwatch does not see:
        # there, and on GNOME Shell alike, the program's own clock, from the request to the canvas
        # shown.
        before=$(grep -c 'shown after' "$SCRAWLIX_LOG" || :)
        call CaptureScreen
        wait_for 10 eval '[ "$(grep -c "shown after" "$SCRAWLIX_LOG")" -gt "$before" ]' || fail "no canvas within 10 s"
        ms=$(grep 'shown after' "$SCRAWLIX_LOG" | tail -1 | awk '{ print $(NF - 1) }')
        clock="program's clock"
    fi
    times+=("$ms")
    wait_canvas
    call SendToTray
    wait_for 5 eval 'canvas_hidden && ! toolbox_shown' || fail "send to tray left windows on screen"
done
backend=$(grep -o 'read through [a-z-]*' "$SCRAWLIX_LOG" | head -1 || :)
printf '%s\n' "${times[@]}" | sort -n | awk -v backend="${backend:-read through the portal}" -v clock="$clock" '
    { t[NR] = $1 } END { printf "median %.1f ms, slowest %.1f ms over %d (%s, timed by %s)\n", (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2), t[NR], NR, backend, clock }'
stop_scrawlix >/dev/null 2>&1 || :
