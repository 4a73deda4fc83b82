#!/usr/bin/env bash
# A Wayland session whose portal offers screenshots but no global shortcuts: the user is told once,
# in the tray, to bind the capture command in the desktop's settings; that command captures. (The tray
# icon's capture, the same with shortcuts or without, is test_fast_path's.)
source "$(dirname "$0")/lib.sh"

start_told() {
    start_scrawlix_settled
    wait_tray_item
    wait_for 10 standin_saw 'Notify.*scrawlix --capture-screen' ||
        fail "no notification about the missing global shortcuts: $(cat "$STANDIN_LOG")"
}

t_told() {
    section "the tray says once that there is no global shortcut, and names the command to bind"
    start_told
    ! standin_saw 'BindShortcuts' || fail "a shortcut was bound where the portal has none"
}

t_command() {
    section "the command the notification names captures through the portal too"
    start_pattern
    start_told
    capture_as_before scrawlix_cmd --capture-screen
    expect_eq "notifications about the shortcuts" 1 "$(standin_count 'Notify.*capture-screen')"
    expect_eq "notifications about screenshots" 0 "$(standin_count 'Notify.*screenshot')"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
