#!/usr/bin/env bash
# Start-up of the real program: the stored defaults are seeded into an empty store (stored, blank and
# malformed values are the unit tests' business); the program then waits in the background
# without a window of its own until TERM ends it. Without an X display it refuses to start, saying why.
source "$(dirname "$0")/lib.sh"

t_seeded() {
    section "empty home: the defaults are seeded"
    fresh_home empty
    start_scrawlix_settled
    expect_settings PenSize=25 PenColor=8 Font=0 Tool=0 Fill=1 HotKey=V
    # For a second after settling: still running, and no window of its own on screen (a tray icon
    # embedded in the panel is not one).
    no_own_window() { scrawlix_running && [ -z "$(app_windows_of_pid "$SCRAWLIX_PID")" ]; }
    holds_for 1 no_own_window || {
        scrawlix_running || fail "the program ended after start-up"
        fail "the program shows windows after start-up: $(app_windows_of_pid "$SCRAWLIX_PID" | tr '\n' ' ')"
    }
}

t_term() {
    section "TERM ends the program promptly"
    start_scrawlix_settled
    kill -TERM "$SCRAWLIX_PID"
    wait_for 3 eval '! scrawlix_running' || fail "still running 3 s after TERM"
    collect_scrawlix_status
    case $SCRAWLIX_STATUS in
        0 | 143) ;;
        *) fail "exit status $SCRAWLIX_STATUS after TERM (a crash?)" ;;
    esac
}

t_no_display() {
    section "without an X display it refuses to start and says why"
    expect_refusal "no display at all" -u WAYLAND_DISPLAY
    expect_refusal "a Wayland session without X" WAYLAND_DISPLAY=wayland-e2e-none
}
expect_refusal() { # WHAT ENV-ARG...: env's arguments on top of removing DISPLAY and QT_QPA_PLATFORM
    local what=$1 status=0 out
    shift
    out=$(env -u DISPLAY -u QT_QPA_PLATFORM "$@" timeout 20 "$SCRAWLIX_BIN" 2>&1 </dev/null) || status=$?
    [ "$status" -ne 124 ] || fail "$what: still running after 20 s"
    { [ "$status" -ne 0 ] && [ "$status" -lt 128 ]; } || fail "$what: exit status $status, output: $out"
    [[ $out == *X11* || $out == *DISPLAY* ]] || fail "$what: the message does not mention X11 or DISPLAY: '$out'"
}

run_section "$@"
