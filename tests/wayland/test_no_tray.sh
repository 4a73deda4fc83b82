#!/usr/bin/env bash
# A Wayland desktop without a tray (as GNOME's, or KDE's without its panel), whose notification
# service is there: notices go to the notification service, the first start says how to reach the
# program, and the command line reaches every item of the tray's menu.
source "$(dirname "$0")/lib.sh"

start_pattern
start_scrawlix_settled

section "notices reach the notification service, and the first start says how to reach the program"
wait_for 10 notified 'scrawlix --capture-screen' || fail "no notification about the missing global shortcut: $(cat "$STANDIN_LOG")"
wait_for 10 notified 'no system tray.*scrawlix --help' || fail "no notification about the missing tray: $(cat "$STANDIN_LOG")"
"$SCRAWLIX_BIN" </dev/null {_e2e_nap_fd}<&- || fail "a second start did not reach the running program"
wait_for 10 notified 'already running' || fail "\"already running\" reached no one"
message_box >/dev/null && fail "a message box came where notifications reach the user"

section "the command line reaches the menu's items"
"$SCRAWLIX_BIN" --configuration </dev/null {_e2e_nap_fd}<&- || fail "scrawlix --configuration failed"
wait_for 10 eval '[ -n "$(xdotool search --onlyvisible --name "^Scrawlix Configuration$")" ]' ||
    fail "the configuration dialog did not open"
activate_window "$(xdotool search --onlyvisible --name "^Scrawlix Configuration$" | head -1)"
xdotool key alt+c
wait_for 5 eval '[ -z "$(xdotool search --onlyvisible --name "^Scrawlix Configuration$")" ]' ||
    fail "the configuration dialog did not close"
"$SCRAWLIX_BIN" --show-toolbox </dev/null {_e2e_nap_fd}<&- || fail "scrawlix --show-toolbox failed"
wait_for 10 toolbox_shown || fail "the toolbox did not show"
"$SCRAWLIX_BIN" --send-to-tray </dev/null {_e2e_nap_fd}<&- || fail "scrawlix --send-to-tray failed"
wait_for 10 eval 'canvas_hidden && toolbox_hidden' || fail "send to tray left windows on screen"
screenshot before.png
"$SCRAWLIX_BIN" --capture-screen </dev/null {_e2e_nap_fd}<&- || fail "scrawlix --capture-screen failed"
wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
screenshot shown.png
expect_same_screen before.png shown.png
"$SCRAWLIX_BIN" --exit </dev/null {_e2e_nap_fd}<&- || fail "scrawlix --exit failed"
wait_for 10 eval '! scrawlix_running' || fail "scrawlix --exit did not end the program"

section "the next start does not repeat the first start's notice"
start_scrawlix_settled
wait_for 10 eval '[ "$(standin_count "Notify.*capture-screen")" = 2 ]' || fail "the second start told nothing about the shortcut"
expect_eq "notices about the missing tray" 1 "$(standin_count 'Notify.*no system tray')"
stop_scrawlix || fail "TERM did not end the program"
