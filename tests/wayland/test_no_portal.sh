#!/usr/bin/env bash
# A Wayland session with neither screencopy for the program nor the desktop portal: the user is told
# once that screenshots fall back to what XWayland can see, and a capture of which XWayland sees
# nothing (all black) is refused with a message rather than shown.
source "$(dirname "$0")/lib.sh"

t_black_refused() {
    section "a capture that XWayland cannot see is told, never shown black"
    start_pattern
    start_scrawlix_without_screencopy
    wait_tray_item
    double_click_tray
    wait_for 10 notified 'screenshot service' || fail "no notification about the missing portal: $(cat "$STANDIN_LOG")"
    wait_for 10 message_box || fail "the failed capture was not told"
    canvas_shown && fail "a black canvas is shown"
    close_message_box
    holds_for 1 eval '! canvas_shown' || fail "a canvas came after the message"
    double_click_tray
    wait_for 10 message_box || fail "the second failed capture was not told"
    close_message_box
    expect_eq "notifications about the portal" 1 "$(standin_count 'Notify.*screenshot service')"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
