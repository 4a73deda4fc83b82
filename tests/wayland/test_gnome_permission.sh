#!/usr/bin/env bash
# GNOME Shell's screenshot permission dialog, which the portal opens at the first capture: while it
# waits for the user, the capture waits too, and nothing is shown over it; the user's Deny (Escape)
# is told, in a message box since there is no tray, and no canvas is shown.
source "$(dirname "$0")/lib.sh"

# The Deny goes to the dialog that has waited: one section holds both.
t_dialog() {
    section "an unanswered permission dialog: the capture waits, and shows nothing"
    start_pattern
    dbus-monitor --session "type='method_call',interface='org.freedesktop.impl.portal.Access'" \
        >"$E2E_TMP/access-calls" 2>&1 </dev/null {_e2e_nap_fd}<&- &
    _e2e_pids+=($!)
    wait_for 5 test -s "$E2E_TMP/access-calls" || fail "dbus-monitor did not start"
    start_scrawlix_settled
    timeout 10 "$SCRAWLIX_BIN" --capture-screen || fail "the command line did not hand the capture over"
    wait_for 10 grep -q 'member=AccessDialog' "$E2E_TMP/access-calls" || fail "GNOME Shell was not asked for the permission"
    # The portal gives the dialog 25 s (its bus's time limit for the call), after which it forgets the
    # request: the user takes 15 s, which leaves a loaded machine time to pass on the key.
    holds_for 15 eval '! canvas_shown && ! message_box >/dev/null' ||
        fail "while the dialog waited, the program showed $(program_windows)"

    section "refused: the user is told, and no canvas is shown"
    gnome_key 0xff1b # Escape: Deny
    wait_for 10 message_box || fail "the refusal was not told"
    grep -q 'did not allow' "$SCRAWLIX_LOG" || fail "the log does not say the desktop refused"
    canvas_shown && fail "a canvas is shown after the refusal"
    close_message_box
    holds_for 1 eval '! canvas_shown' || fail "a canvas came after the refusal"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
