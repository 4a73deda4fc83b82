#!/usr/bin/env bash
# A GlobalShortcuts portal that answers BindShortcuts without the shortcut: nothing is bound, and
# the user is told once, with the command to bind instead.
source "$(dirname "$0")/lib.sh"

t_told() {
    section "nothing is bound; the user is told once, and the command captures"
    start_scrawlix_settled
    wait_tray_item
    wait_for 10 standin_saw 'GlobalShortcuts.BindShortcuts' || fail "no BindShortcuts: $(cat "$STANDIN_LOG")"
    wait_for 10 notified 'scrawlix --capture-screen' || fail "the user was not told that no shortcut is bound"
    grep -q 'global shortcut bound' "$SCRAWLIX_LOG" && fail "the program believes the shortcut is bound"
    scrawlix_cmd --capture-screen
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
    expect_eq "notices about the shortcut" 1 "$(standin_count 'Notify.*capture-screen')"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
