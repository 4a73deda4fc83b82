#!/usr/bin/env bash
# A Wayland session whose portal offers screenshots but no global shortcuts: the user is told once,
# in the tray, to bind the capture command in the desktop's settings; that command and the tray icon
# capture through the portal.
source "$(dirname "$0")/lib.sh"

start_pattern
start_scrawlix_settled
wait_tray_item

section "the tray says once that there is no global shortcut, and names the command to bind"
told() { standin_saw 'Notify.*scrawlix --capture-screen'; }
wait_for 10 told || fail "no notification about the missing global shortcuts: $(cat "$STANDIN_LOG")"
standin_saw 'BindShortcuts' && fail "a shortcut was bound where the portal has none"

section "the tray icon captures through the portal, pixel for pixel"
screenshot before.png
double_click_tray
wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
screenshot shown.png
expect_same_screen before.png shown.png

section "the command the notification names captures through the portal too"
click_toolbox totray
wait_for 5 eval 'canvas_hidden && toolbox_hidden' || fail "send to tray left windows on screen"
"$SCRAWLIX_BIN" --capture-screen </dev/null {_e2e_nap_fd}<&- || fail "scrawlix --capture-screen failed"
wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
screenshot again.png
expect_same_screen before.png again.png
expect_eq "notifications about the shortcuts" 1 "$(standin_count 'Notify.*capture-screen')"
expect_eq "notifications about screenshots" 0 "$(standin_count 'Notify.*screenshot')"
stop_scrawlix || fail "TERM did not end the program"
