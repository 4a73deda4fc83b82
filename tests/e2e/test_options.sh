#!/usr/bin/env bash
# The configuration dialog of the real program, opened from the tray menu: Ok saves the defaults, a
# new hot-key letter captures at once, and the unchecked start-up box hides the autostart entry.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

canvas_up() { # the canvas covers the screen
    local w
    for w in $(windows_named Scrawlix); do
        [ "$(window_geometry "$w")" = "0 0 1920 1080" ] && return 0
    done
    return 1
}

t_letter() {
    section "Configuration from the tray menu, letter K, Ok; then Windows + K captures"
    start_scrawlix_settled
    tray_menu c
    wait_window "Scrawlix Configuration"
    xdotool key --delay 40 ctrl+a K alt+o # the hot-key box has the focus
    wait_window_gone "Scrawlix Configuration"
    expect_settings PenSize=25 PenColor=8 Font=0 Tool=0 Fill=1 HotKey=K RunOnStartup=0
    grep -qx 'Hidden=true' "$XDG_CONFIG_HOME/autostart/Scrawlix.desktop" || fail "the autostart entry is not hidden"
    press_hotkey k
    wait_for 10 canvas_up || fail "Windows + K did not capture the screen"
}

run_section "$@"
