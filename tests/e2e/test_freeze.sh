#!/usr/bin/env bash
# The picture is the screen at the press, never a moment later or half-way through a change; presses
# during a capture or a slow save wait for it, and an exit during or after a save is clean.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"
source "$(dirname "$0")/imaging.sh"

[ -x "${E2E_CLOCKWINDOW:-}" ] && [ -f "${E2E_SLOWWRITE:-}" ] || fail "the helpers are not built"

# clock_window ARG...: the program in the tray and E2E_CLOCKWINDOW shown; its pid in CLOCK_PID.
clock_window() {
    start_in_tray
    coproc CLOCK { exec "$E2E_CLOCKWINDOW" "$@"; }
    _e2e_pids+=("$CLOCK_PID")
    local line
    read -r -t 10 line <&"${CLOCK[0]}" && [ "$line" = shown ] || fail "the clock window did not show"
}
# key_press_clock: the clock the window showed at the last of the key presses it reports next.
key_press_clock() {
    local word ms="" n=0
    while read -r -t 2 word ms_ <&"${CLOCK[0]}"; do
        [ "$word" = press ] && ms=$ms_ && n=$((n + 1))
        [ "$n" -lt 2 ] || break # Super, then V
    done
    [ -n "$ms" ] || fail "the clock window saw no key press"
    echo "$ms"
}
rgb_value() { local IFS=,; read -r r g b <<<"$1"; echo $((r * 65536 + g * 256 + b)); }

t_clock() {
    section "a clock on the screen stops at the press, even early in a second"
    clock_window counter 1400 700 200 100
    for round in 1 2 3; do
        # Early in a second, when waiting for the clock's next second would take longest. (Read
        # without forking: on a loaded machine two runs of date a try could miss the window.)
        wait_for 3 eval 'ms=$((10#${EPOCHREALTIME#*.} / 1000)); ((ms >= 50 && ms < 150))' ||
            fail "no moment early in a second to press in"
        press_hotkey v
        pressed=$(key_press_clock)
        wait_canvas
        shown=$(rgb_value "$(screen_pixel 1500 750)")
        late=$(((shown - pressed + 16777216) % 16777216))
        echo "   round $round: the picture shows the clock $late ms after the press" >&2
        [ "$late" -le 50 ] || fail "the picture is the screen $late ms after the press"
        send_to_tray
    done
}

t_flip() {
    section "a screen flipping colour every 10 to 15 ms is never caught in two colours"
    clock_window flip
    # Painting has finished when two screenshots in a row are the same byte for byte: settle_screen,
    # which counts the pixels that differ, takes too long on a loaded machine for 24 rounds of this.
    same_again() { mv "$E2E_TMP/flip.ppm" "$E2E_TMP/prev.ppm" && screenshot flip.ppm && cmp -s "$E2E_TMP/"{prev,flip}.ppm; }
    for round in {1..24}; do
        press_hotkey v
        wait_for 10 eval '! canvas_hidden && toolbox_shown' || fail "capture $round showed no canvas: $(program_windows)"
        screenshot flip.ppm
        wait_for 20 same_again || fail "the screen kept changing after capture $round"
        # Right of the toolbox, above the panel.
        read -r tx _ tw _ < <(frame_rect "$(toolbox_window)")
        colours=$(convert "$E2E_TMP/flip.ppm" -crop "$((1920 - tx - tw))x1000+$((tx + tw))+0" +repage -format %k info:)
        [ "$colours" = 1 ] || fail "capture $round holds $colours colours: two moments of the screen"
        send_to_tray
    done
}

t_burst() {
    section "twenty presses in one second"
    noisy_desktop
    start_in_tray
    screenshot before.png
    local keys=()
    for _ in {1..20}; do keys+=(super+v); done
    xdotool key --clearmodifiers --delay 50 "${keys[@]}"
    wait_canvas 0 0 1920 1080
    # The last request's capture may still be waiting; the canvas must stay put for a while.
    holds_for 2 eval '! canvas_hidden && toolbox_shown' || fail "the canvas did not stay on the screen"
    settle_screen
    expect_as_before
    stop_scrawlix || fail "TERM did not end the program"
}

t_ctrl_on_canvas() {
    section "Ctrl tapped with the canvas focused, then the hot key: the canvas's window is captured"
    start_in_tray
    target_window 400 300 600 300
    capture_target v
    CANVAS=$(canvas_window)
    read -r cx cy cw ch < <(window_geometry "$CANVAS")
    _canvas_focused || xdotool windowactivate "$CANVAS" 2>/dev/null || :
    wait_for 5 _canvas_focused || fail "the canvas does not take the focus"
    xdotool key ctrl
    press_hotkey v
    # The new canvas comes up one pixel up and left of the old one.
    wait_for 10 eval '! canvas_geometry_is $cx $cy $cw $ch' || fail "the hot key captured nothing"
    wait_canvas $((cx - 1)) $((cy - 1)) "$cw" "$ch"
}

t_slow_save() {
    section "the hot key during a slow save waits for it; the file holds the drawing"
    LD_PRELOAD=$E2E_SLOWWRITE SLOWWRITE_MS=3000 start_in_tray
    capture_screen
    drag 500 600 900 600
    settle_screen
    press_shortcut ctrl s
    answer_dialog "Save Image..." Return "$E2E_TMP/slow.bmp"
    [ ! -s "$E2E_TMP/slow.bmp" ] || fail "the save was not slow"
    press_hotkey v
    # Until the file is complete, the canvas shows the drawing: the capture comes only after the save.
    local looks=0
    until [ -s "$E2E_TMP/slow.bmp" ]; do
        shown=$(screen_pixel 700 600)
        [ "$shown" = 255,255,0 ] || [ -s "$E2E_TMP/slow.bmp" ] || fail "the hot key did not wait for the save"
        looks=$((looks + 1))
        [ "$looks" -lt 200 ] || fail "the save did not end"
    done
    [ "$looks" -gt 1 ] || fail "the save ended before the hot key could be seen waiting"
    [ "$(pixel slow.bmp 699 599)" = "255,255,0" ] || fail "the saved file lacks the drawing"
    wait_for 10 eval '[ "$(screen_pixel 700 600)" != 255,255,0 ]' || fail "the hot key was lost"
    wait_canvas 0 0 1920 1080
    stop_scrawlix || fail "TERM did not end the program"
}

# save_then_exit [FILE]: with every Qt warning fatal, the program started, a capture, Ctrl+S, and
# FILE saved (or the dialog left open); then --exit, and the program ends with status 0.
save_then_exit() {
    QT_FATAL_WARNINGS=1 start_in_tray
    capture_screen
    press_shortcut ctrl s
    if [ -n "${1:-}" ]; then
        answer_dialog "Save Image..." Return "$1"
        wait_for 10 test -s "$1" || fail "the save did not end"
    else
        wait_for 20 app_window_named "Save Image..." || fail "no save dialog"
    fi
    "$SCRAWLIX_BIN" --exit
    wait_for 10 eval '! scrawlix_running' || fail "--exit did not end the program"
    collect_scrawlix_status
    [ "$SCRAWLIX_STATUS" = 0 ] || fail "the program ended with status $SCRAWLIX_STATUS"
}

t_exit_clean() {
    section "--exit with the save dialog open, or right after a save, is clean with every Qt warning fatal"
    save_then_exit
    save_then_exit "$E2E_TMP/quick.bmp"
}

run_section "$@"
