#!/usr/bin/env bash
# The hot key under Wine. Wine hands WM_HOTKEY to a program only while one of its windows has the
# X focus, so the key is pressed while a window of Scrawlix has it: the About box.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../e2e/imaging.sh"
source "$(dirname "$0")/../e2e/dialogs_lib.sh"
source "$(dirname "$0")/../e2e/canvas_lib.sh"
source "$(dirname "$0")/winelib.sh"

read -r sw sh < <(screen_size)

t_about_focused() {
    section "Windows + V with the About box focused captures the screen"
    start_in_tray
    tray_menu a
    wait_window "About Scrawlix.*"
    press_hotkey v
    wait_for 15 app_window_named Scrawlix || fail "Windows + V showed no canvas: $(program_windows)"
    CANVAS=$(app_window_named Scrawlix)
    wait_for 10 _geometry_is "$CANVAS" "0 0 $sw $sh" ||
        fail "the canvas does not cover the screen: $(window_geometry "$CANVAS")"
}

run_section "$@"
