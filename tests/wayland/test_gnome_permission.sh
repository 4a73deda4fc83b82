#!/usr/bin/env bash
# GNOME Shell's screenshot permission dialog, which the portal opens at the first capture: while it
# waits for the user, the capture waits too, and nothing is shown over it; the user's Deny (Escape)
# is told, in a message box since there is no tray, and no canvas is shown.
source "$(dirname "$0")/lib.sh"

# The Deny goes to the dialog that has waited: one section holds both.
t_dialog() {
    section "an unanswered permission dialog: the capture waits, and shows nothing"
    start_pattern
    bus_watch access-calls org.freedesktop.impl.portal.Access
    start_scrawlix_settled
    scrawlix_cmd --capture-screen
    wait_for 10 grep -q 'member=AccessDialog' "$E2E_TMP/access-calls" || fail "GNOME Shell was not asked for the permission"
    # The portal gives the dialog 25 s (its bus's time limit for the call), after which it forgets the
    # request: the user takes 15 s, which leaves a loaded machine time to pass on the key.
    holds_for 15 nothing_shown || fail "while the dialog waited, the program showed $(program_windows)"

    section "refused: the user is told, and no canvas is shown"
    gnome_key 0xff1b # Escape: Deny
    expect_refusal_told
}

run_section "$@"
