#!/usr/bin/env bash
# A GlobalShortcuts portal that, like KDE's, takes the shortcuts only from CreateSession and answers
# BindShortcuts with an empty list (opening its shortcut settings each time): the shortcut is bound
# through CreateSession, no settings page is asked for, at this start or the next, and it captures.
source "$(dirname "$0")/lib.sh"

start_bound() {
    start_scrawlix_settled
    wait_for 10 standin_saw 'CreateSession.*"capture-screen".*"preferred_trigger": "LOGO\+v"' ||
        fail "CreateSession did not carry the shortcut: $(cat "$STANDIN_LOG")"
    wait_for 10 grep -q 'global shortcut bound' "$SCRAWLIX_LOG" || fail "the program does not say the shortcut is bound"
}

t_capture() {
    section "the shortcut registered with the session captures"
    start_pattern
    start_bound
    capture_as_before press_shortcut_standin capture-screen
    expect_eq "shortcut settings opened" 0 "$(standin_count 'Settings.Open')"
    expect_eq "notices about the shortcut" 0 "$(standin_count 'Notify.*capture-screen')"
    stop_scrawlix || fail "TERM did not end the program"
}

t_next_start() {
    section "the next start binds it again without opening the settings"
    start_bound
    stop_scrawlix || fail "TERM did not end the program"
    start_scrawlix_settled
    wait_for 10 eval '[ "$(standin_count "GlobalShortcuts.CreateSession")" = 2 ]' || fail "the second start made no session"
    wait_for 10 grep -q 'global shortcut bound' "$SCRAWLIX_LOG" || fail "the second start did not bind the shortcut"
    press_shortcut_standin capture-screen
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
    expect_eq "shortcut settings opened" 0 "$(standin_count 'Settings.Open')"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
