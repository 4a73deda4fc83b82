#!/usr/bin/env bash
# On a wlroots compositor the screen is read through screencopy, straight from the compositor: the
# portal is never asked, and the canvas shows the native window pixel for pixel, at every capture.
source "$(dirname "$0")/lib.sh"

t_screencopy() {
    section "captures read the screen through screencopy, not through the portal"
    start_pattern
    portal_watch
    start_scrawlix_settled
    wait_tray_item
    for _ in 1 2 3; do
        capture_as_before double_click_tray
        send_to_tray
    done
    expect_eq "calls to the portal's Screenshot" 0 "$(portal_screenshots)"
    grep -q 'read through wlr-screencopy' "$SCRAWLIX_LOG" || fail "the log does not name screencopy"
    [ ! -e "$HOME/Pictures" ] || [ -z "$(ls -A "$HOME/Pictures")" ] || fail "a picture file was left behind"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
