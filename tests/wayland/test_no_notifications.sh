#!/usr/bin/env bash
# A desktop with neither a tray nor a notification service: what the user must know (no global
# shortcut, how to reach the program without a tray) comes in a message box.
source "$(dirname "$0")/lib.sh"

t_message_boxes() {
    section "the notices come in two message boxes"
    start_scrawlix_settled
    for _ in 1 2; do
        wait_for 10 message_box || fail "no message box; the log says: $(grep -i notice "$SCRAWLIX_LOG")"
        close_message_box
    done
    holds_for 2 eval '! message_box >/dev/null' || fail "a third message box came"
    grep -q 'scrawlix --capture-screen' "$SCRAWLIX_LOG" || fail "the shortcut's notice is not in the log"
    grep -q 'no system tray' "$SCRAWLIX_LOG" || fail "the tray's notice is not in the log"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
