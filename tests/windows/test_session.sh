#!/usr/bin/env bash
# A user's session with the Windows program under Wine: tray, canvas, pen, Ctrl+S, the registry, a
# second start and Exit.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../e2e/imaging.sh"
source "$(dirname "$0")/../e2e/dialogs_lib.sh"
source "$(dirname "$0")/../e2e/canvas_lib.sh"
source "$(dirname "$0")/winelib.sh"

settings='HKCU\Software\Scrawlix\Scrawlix\Settings'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'

read -r sw sh < <(screen_size)
noisy_desktop # a shifted or scaled picture shows

started_in_tray() { # the program started into the tray
    start_in_tray
    keep_shot tray
}
on_canvas() { # the screen on the canvas, by a double-click on the tray icon; before.png as it was
    started_in_tray
    screenshot before.png
    click_window "$(tray_icon)" 1 2
    pointer_to $((sw / 2)) 100 # off the icon, whose tooltip would cover the screen
    wait_canvas 0 0 "$sw" "$sh"
    # shellcheck disable=SC2034 # press_shortcut reads it
    CANVAS=$(canvas_window)
}
drawn() { [ "$(screen_pixel 610 670)" = 255,255,0 ]; } # the default tool is the yellow pen
draw_line() { # a line with the pen, on the screen as drawn.png
    drag 400 600 820 740
    wait_for 5 drawn || fail "the pen stroke is not on the screen: $(screen_pixel 610 670)"
    settled_shot drawn.png
}

t_tray() {
    section "scrawlix.exe starts into the tray"
    started_in_tray
    wait_for 5 eval '[ -z "$(app_windows_of_pid "$SCRAWLIX_PID")" ]' ||
        fail "windows other than the tray icon are showing: $(program_windows)"
}

t_settings() {
    section "the settings are seeded in the user's registry"
    started_in_tray
    for pair in PenSize=25 PenColor=8 Font=0 Tool=0 Fill=1 HotKey=V; do
        expect_eq "$settings ${pair%%=*}" "${pair#*=}" "$(reg_value "$settings" "${pair%%=*}")"
    done
    ! reg_value "$settings" RunOnStartup >/dev/null || fail "RunOnStartup is set before the options were confirmed"
}

t_canvas() {
    section "a double-click on the tray icon shows the screen on the canvas, and the pen draws on it"
    on_canvas
    expect_as_before
    draw_line
    keep_shot canvas
}

t_save() {
    section "Ctrl+S saves the drawing as a BMP file"
    on_canvas
    draw_line
    press_shortcut ctrl s
    answer_dialog "Save Image..." Return "$(windows_path "$E2E_TMP/drawing.bmp")"
    read -r tx ty tw th < <(frame_rect "$(toolbox_window)")
    expect_saved_canvas "$sw" "$sh" "$tx" "$ty" "$tw" "$th"
}

t_options() {
    section "the options dialog writes the start-up entry in the Run key"
    on_canvas
    tray_menu Up Up Return # Send to System Tray, above Exit
    no_canvas() { ! app_window_named Scrawlix; }
    wait_for 5 no_canvas || fail "Send to System Tray left the canvas showing"
    tray_menu c
    wait_window "Scrawlix Configuration"
    keep_shot options
    # From the letter box to the start-up box: tool, colour, size, font, then the box.
    xdotool key --delay 60 Tab Tab Tab Tab Tab space alt+o
    wait_window_gone "Scrawlix Configuration"
    program=$(windows_path "$(dirname "$WINE_EXE")")\\scrawlix.exe
    expect_eq "the Run key's Scrawlix value" "$program" "$(reg_value "$run_key" Scrawlix)"
    expect_eq "$settings RunOnStartup" 1 "$(reg_value "$settings" RunOnStartup)"
}

t_second_start() {
    section "a second start hands --capture-screen over to the running program, and Exit ends it"
    started_in_tray
    second_status=0
    timeout 60 "$SCRAWLIX_BIN" --capture-screen >"$E2E_TMP/second.log" 2>&1 </dev/null || second_status=$?
    expect_eq "the second start's exit status" 0 "$second_status"
    wait_for 15 app_window_named Scrawlix || fail "the running program showed no canvas"
    scrawlix_running || fail "the running program ended"
    tray_menu x
    wait_for 15 eval '! scrawlix_running' || fail "the program is still running after Exit"
    collect_scrawlix_status
    expect_eq "exit status" 0 "$SCRAWLIX_STATUS"
}

run_section "$@"
