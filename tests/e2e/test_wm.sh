#!/usr/bin/env bash
# What the window manager does to the program's windows, under openbox and under xfwm4
# (SCRAWLIX_E2E_WM), with a task list in the panel (SCRAWLIX_E2E_TASKBAR): task-list buttons, frame
# titles, a window-capture canvas through the next capture, the moved toolbox, and closing the canvas.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"
source "$(dirname "$0")/imaging.sh"

noisy_desktop

t_task_list() {
    section "the task list shows no button for the canvas, the toolbox or a message box"
    start_in_tray
    # The panel's 30 pixels at the bottom, left of its tray, as the task list draws them.
    task_list() { import -window root -crop 1800x30+0+1050 +repage "$E2E_TMP/$1"; }
    task_list_is() { task_list now.png && [ "$(diff_pixels "$1" now.png)" = 0 ]; }
    settle_screen
    task_list tasks-none.png
    # A window of another program gets a button: the check sees one.
    xmessage -geometry +600+400 "another program" &
    _e2e_pids+=($!)
    wait_for 10 eval '! task_list_is tasks-none.png' || fail "the task list shows no button even for xmessage"
    kill "${_e2e_pids[-1]}"
    wait_for 10 task_list_is tasks-none.png || fail "xmessage's button stayed"
    convert -size 400x300 xc:white "BMP3:$E2E_TMP/small.bmp"
    timeout 20 "$SCRAWLIX_BIN" --open "$E2E_TMP/small.bmp" || fail "--open failed"
    wait_canvas 0 0 400 300
    holds_for 1 task_list_is tasks-none.png || fail "the canvas or the toolbox got a button: see $E2E_TMP/now.png"
    send_to_tray
    printf 'not a picture' >"$E2E_TMP/junk.bmp"
    timeout 20 "$SCRAWLIX_BIN" --open "$E2E_TMP/junk.bmp" || fail "--open failed"
    wait_window Scrawlix # the box saying that it cannot be opened
    holds_for 1 task_list_is tasks-none.png || fail "the message box got a button: see $E2E_TMP/now.png"
}

t_titles() {
    section "the frames show the whole title of the toolbox, and of the \"PNG ERROR!\" box"
    capture_noisy
    title_fits "$(toolbox_window)" || fail "the frame cuts the toolbox's title short: see $E2E_TMP/title-bar.png"
    CANVAS=$(canvas_window)
    press_shortcut ctrl s
    answer_dialog "Save Image..." Return "$E2E_TMP/shot.png"
    wait_for 10 eval '[ -n "$(windows_named Scrawlix | grep -vx "$((CANVAS))")" ]' || fail "no \"PNG ERROR!\" box"
    box=$(windows_named Scrawlix | grep -vx "$((CANVAS))" | head -1)
    title_fits "$box" || fail "the frame cuts the message box's title short: see $E2E_TMP/title-bar.png"
}

t_recapture() {
    section "the next capture's wait keeps a drawn window-capture canvas on the screen, and captures it"
    start_in_tray
    target_window 400 300 500 300 white
    capture_target v
    canvas=$(canvas_window)
    # Along the window's left edge, where a toolbox placed over its middle leaves it uncovered.
    cx=$((fx + 40)) cy=$((fy + fh / 2))
    drag "$cx" $((cy - 80)) "$cx" $((cy + 80))
    settled_shot drawn.png
    [ "$(pixel drawn.png "$cx" "$cy")" = "255,255,0" ] || fail "the pen did not draw: $(pixel drawn.png "$cx" "$cy")"
    viewable() { xwininfo -id "$canvas" 2>/dev/null | grep -q 'Map State: IsViewable'; }
    press_hotkey v
    holds_for 0.6 viewable || fail "the window-capture canvas left the screen during the wait"
    wait_canvas 0 0 1920 1080
    screenshot recaptured.png
    [ "$(pixel recaptured.png "$cx" "$cy")" = "255,255,0" ] || fail "the new capture lacks the drawing"
}

t_toolbox_close() {
    section "the toolbox stays where the user moved it, across a capture and a copy"
    capture_noisy
    toolbox=$(toolbox_window)
    xdotool windowmove --sync "$toolbox" 1500 500 || true
    wait_for 5 eval '(( $(frame_rect "$toolbox" | cut -d" " -f1) > 1300 ))' || true
    read -r tx ty _ < <(frame_rect "$(toolbox_window)")
    ((tx > 1300 && ty > 300)) || fail "the toolbox did not move: $tx $ty"
    hotkey_canvas
    expect_eq "toolbox after a capture" "$tx $ty" "$(frame_rect "$(toolbox_window)" | cut -d' ' -f1,2)"
    copy_canvas
    expect_eq "toolbox after a copy" "$tx $ty" "$(frame_rect "$(toolbox_window)" | cut -d' ' -f1,2)"
    section "Alt+F4 on the canvas sends it to the tray; the hot key and the menu still work"
    # Alt+F4 is bound in the session's openbox; xfwm4 without its settings daemon binds no keys, and
    # gets the close a pager sends instead (_NET_CLOSE_WINDOW).
    if [ "${SCRAWLIX_E2E_WM:-openbox}" = openbox ]; then
        xdotool windowactivate --sync "$(canvas_window)" 2>/dev/null || xdotool windowfocus --sync "$(canvas_window)"
        xdotool key alt+F4
    else
        wmctrl -i -c "$(canvas_window)"
    fi
    wait_for 5 eval 'canvas_hidden && toolbox_hidden' || fail "the close left windows on screen: $(program_windows)"
    scrawlix_running || fail "the close ended the program"
    [ -n "$(tray_icon)" ] || fail "the close took the tray icon away"
    hotkey_canvas
    wmctrl -i -c "$(canvas_window)" # as a pager does
    wait_for 5 canvas_hidden || fail "a pager's close left the canvas"
    tray_menu x
    wait_for 10 eval '! scrawlix_running' || fail "the menu's Exit did not end the program"
}

run_section "$@"
