#!/usr/bin/env bash
# GNOME Shell as Debian installs it, with no tray and no global shortcuts: notices, and a capture
# through the portal once the user has allowed screenshots.
source "$(dirname "$0")/lib.sh"

t_notices() {
    section "with no tray and no global shortcut, the notices reach GNOME Shell's notification service"
    start_scrawlix_settled
    wait_for 10 notified 'no system tray.*scrawlix --help' || fail "no notification about the missing tray: $(cat "$STANDIN_LOG")"
    wait_for 10 notified 'scrawlix --capture-screen' || fail "no notification about the missing global shortcut: $(cat "$STANDIN_LOG")"
    ! message_box >/dev/null || fail "a message box stands on the screen"
}

# Sending back needs a canvas, and so GNOME Shell's slow start: one section holds both.
t_capture() {
    section "allowed, the capture is the screen, pixel for pixel, through the portal"
    start_pattern
    portal_watch
    start_scrawlix_settled
    gnome_allow_screenshots
    capture_as_before scrawlix_cmd --capture-screen
    expect_eq "calls to the portal's Screenshot" 1 "$(portal_screenshots)"
    grep -q 'the screen is read through' "$SCRAWLIX_LOG" && fail "GNOME Shell read the screen some other way: $(grep 'read through' "$SCRAWLIX_LOG")"

    section "the command line sends the canvas back"
    scrawlix_cmd --send-to-tray
    wait_for 5 eval 'canvas_hidden && ! toolbox_shown' || fail "send to tray left $(program_windows) on the screen"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
