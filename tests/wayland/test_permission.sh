#!/usr/bin/env bash
# The portal's permission dialog, where the compositor offers no screencopy: while the dialog waits
# for the user, the capture waits too, however long, and shows nothing; once allowed, the canvas
# shows the screen. A refusal is told, and nothing is shown.
source "$(dirname "$0")/lib.sh"

ask() { # the tray icon's capture, until the dialog is up
    start_pattern
    start_scrawlix_without_screencopy
    wait_tray_item
    screenshot before.png
    double_click_tray
    wait_for 10 standin_saw 'Screenshot.Screenshot' || fail "the portal was not asked: $(cat "$STANDIN_LOG")"
}

t_unanswered() {
    section "an unanswered dialog: the capture waits, and shows nothing"
    ask
    # Longer than any time limit the program had on the portal's answer.
    holds_for 35 nothing_shown || fail "while the dialog waited, the program showed $(program_windows)"
    expect_eq "requests answered" 1 "$(standin_control AnswerScreenshot uint32:0)"
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
    screenshot shown.png
    expect_same_screen before.png shown.png
}

t_refused() {
    section "a refused dialog: the user is told, and no canvas is shown"
    ask
    expect_eq "requests answered" 1 "$(standin_control AnswerScreenshot uint32:1)"
    expect_refusal_told
}

run_section "$@"
