#!/usr/bin/env bash
# A Wayland desktop without a tray (as GNOME's, or KDE's without its panel), whose notification
# service is there: notices go to the notification service, the first start says how to reach the
# program, and the command line reaches every item of the tray's menu.
source "$(dirname "$0")/lib.sh"

start_told() {
    start_scrawlix_settled
    wait_for 10 notified 'scrawlix --capture-screen' || fail "no notification about the missing global shortcut: $(cat "$STANDIN_LOG")"
    wait_for 10 notified 'no system tray.*scrawlix --help' || fail "no notification about the missing tray: $(cat "$STANDIN_LOG")"
}

t_notices() {
    section "notices reach the notification service, and the first start says how to reach the program"
    start_told
    scrawlix_cmd # a second start
    wait_for 10 notified 'already running' || fail "\"already running\" reached no one"
    ! message_box >/dev/null || fail "a message box came where notifications reach the user"
}

t_commands() {
    section "the command line reaches the menu's items"
    start_pattern
    start_scrawlix_settled
    scrawlix_cmd --configuration
    wait_for 10 configuration || fail "the configuration dialog did not open"
    activate_window "$(configuration | head -1)"
    xdotool key alt+c
    wait_for 5 eval '! configuration' || fail "the configuration dialog did not close"
    scrawlix_cmd --show-toolbox
    wait_for 10 toolbox_shown || fail "the toolbox did not show"
    scrawlix_cmd --send-to-tray
    wait_for 10 eval 'canvas_hidden && toolbox_hidden' || fail "send to tray left windows on screen"
    capture_as_before scrawlix_cmd --capture-screen
    scrawlix_cmd --exit
    wait_for 10 eval '! scrawlix_running' || fail "scrawlix --exit did not end the program"
}

t_next_start() {
    section "the next start does not repeat the first start's notice"
    start_told
    stop_scrawlix || fail "TERM did not end the program"
    start_scrawlix_settled
    wait_for 10 eval '[ "$(standin_count "Notify.*capture-screen")" = 2 ]' || fail "the second start told nothing about the shortcut"
    expect_eq "notices about the missing tray" 1 "$(standin_count 'Notify.*no system tray')"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
