#!/usr/bin/env bash
# Capturing and showing: the hot key, Ctrl, the tray icon and its menu, and the toolbox's commands;
# under a StatusNotifier host (clicks only, the menu exported over D-Bus: snihost.py) as well.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"

noisy_desktop

t_shows_screen() {
    section "Super+V shows the screen as it was"
    capture_noisy
    expect_as_before
}

t_copy() {
    section "copy puts the canvas minus its one-pixel frame on the clipboard"
    capture_noisy
    copy_canvas clip.png
    [ "$(identify -format '%wx%h' "$E2E_TMP/clip.png")" = 1918x1078 ] ||
        fail "the clipboard image is $(identify -format '%wx%h' "$E2E_TMP/clip.png")"
    # The copy leaves the toolbox out; compare away from it.
    same_region clip.png 400 0 before.png 401 1 1500 1078 || fail "the clipboard image is not the canvas"
    # The keyboard is the canvas's again, so its shortcuts work at once; the toolbox is back on top.
    canvas_has_keyboard() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($(canvas_window)))" ]; }
    wait_for 5 canvas_has_keyboard || fail "after the copy the keyboard went to $(xdotool getwindowfocus getwindowname)"
}

t_hide_keeps_drawing() {
    section "hide keeps the drawing; the next request brings it back, shifted by the frame"
    capture_noisy
    drag 500 600 900 600
    settled_shot drawn.png
    [ "$(pixel drawn.png 700 600)" = "255,255,0" ] || fail "the pen did not draw in yellow: $(pixel drawn.png 700 600)"
    send_to_tray hide
    press_hotkey v
    wait_canvas 0 0 1918 1078
    screenshot back.png
    same_region back.png 300 300 drawn.png 301 301 1200 700 || fail "the kept canvas did not come back as it was"
    [ "$(pixel back.png 699 599)" = "255,255,0" ] || fail "the drawing was lost"
}

t_keypad_from_tray() {
    section "send to tray, keypad plus from the tray, then capture and draw with the new size"
    capture_noisy
    send_to_tray
    xdotool key KP_Add
    nap 0.3
    hotkey_canvas
    drag 300 800 700 800
    settled_shot wide.png
    w=$(count_color wide.png 500 700 1 200 255,255,0)
    [ "$w" = 35 ] || fail "after keypad plus the pen is $w pixels wide, not 35"
}

t_capture_over_canvas() {
    section "Super+V over the drawn canvas captures the screen without the canvas"
    capture_noisy
    drag 300 800 700 800
    wait_for 5 eval '[ "$(screen_pixel 500 800)" = 255,255,0 ]' || fail "the pen did not draw"
    # Pressed early in a second: the program waits for the next one, time for the canvas to go.
    wait_for 3 eval '[ "$((10#$(date +%3N)))" -lt 300 ]'
    press_hotkey v
    wait_for 5 eval '[ "$(screen_pixel 500 800)" != 255,255,0 ]' || fail "the drawing stayed on the screen"
    wait_canvas 0 0 1920 1080
    expect_as_before
}

t_toolbox_close_box() {
    section "the toolbox's close box only hides it; Show Toolbox brings it back"
    capture_noisy
    # What the close box does: ask the window manager to close the window.
    wmctrl -i -c "$(toolbox_window)"
    wait_for 5 toolbox_hidden || fail "the toolbox did not close"
    scrawlix_running || fail "closing the toolbox ended the program"
    tray_menu Down Down Down Return
    wait_for 5 toolbox_shown || fail "Show Toolbox did not bring the toolbox back"
}

t_tray_double_click() {
    section "the tray's double-click captures the screen"
    start_in_tray
    click_window "$(tray_icon)" 1 2
    wait_canvas 0 0 1920 1080
}

t_ctrl_tap() {
    section "tapping Ctrl before the hot key captures the active window, one pixel up and left"
    start_in_tray
    target_window 400 300 600 300
    capture_target v check
}

t_tray_exit() {
    section "Exit from the tray menu ends the program and removes the icon"
    capture_noisy
    tray_menu x
    wait_for 10 eval '! scrawlix_running' || fail "Exit did not end the program"
    expect_eq "tray icons after Exit" 0 "$(tray_icon_count)"
}

sni_host() { # a StatusNotifier watcher and host instead of the XEmbed tray, and the program on it
    status-notifier-watcher >"$E2E_TMP/watcher.log" 2>&1 &
    _e2e_pids+=($!)
    wait_for 10 dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost string:org.kde.StatusNotifierHost-e2e ||
        fail "the StatusNotifier watcher did not start"
    start_scrawlix_settled
    wait_tray_item
}

t_sni_click() {
    section "under a StatusNotifier host, which reports clicks only: one click does nothing, two capture"
    sni_host
    [ -z "$(tray_icon)" ] || fail "the program put an XEmbed icon in the tray as well"
    dbus-send --session --print-reply --dest="$(_sni_item)" /StatusNotifierItem org.kde.StatusNotifierItem.Activate \
        int32:10 int32:10 >/dev/null || fail "the item did not take Activate"
    holds_for 1 canvas_hidden || fail "a single click captured"
    double_click_tray
    wait_canvas 0 0 1920 1080
}

t_sni_menu() {
    section "that host shows the program's menu, read over D-Bus: the items, their icons and states"
    sni_host
    double_click_tray
    wait_canvas 0 0 1920 1080
    sni() { /usr/bin/python3 "$(dirname "$0")/snihost.py" "$@"; }
    menu=$(sni layout) || fail "the host finds no menu: $(sni menu-path 2>&1)"
    want="standard|Capture Screen|enabled|visible|16x16
standard|Capture Window|enabled|visible|16x16
standard|Show Toolbox|enabled|visible|16x16
standard|Open|enabled|visible|16x16
separator||enabled|visible|-
standard|_About|enabled|visible|16x16
standard|_Configuration|enabled|visible|16x16
standard|_Help|enabled|visible|16x16
separator||enabled|visible|-
standard|Show|disabled|visible|16x16
standard|Hide|disabled|hidden|16x16
separator||enabled|visible|-
standard|Send to System Tray|enabled|visible|16x16
standard|E_xit|enabled|visible|16x16"
    [ "$menu" = "$want" ] || fail "the exported menu differs (< expected, > exported):
    $(diff <(echo "$want") <(echo "$menu") | grep '^[<>]' || true)"
    click_toolbox hide
    wait_for 5 canvas_hidden || fail "Hide left the canvas"
    wait_for 5 eval 'sni layout | grep -qx "standard|Show|enabled|visible|16x16"' || fail "Show stayed greyed after Hide"
    sni click Show
    wait_canvas
    sni click "E_xit"
    wait_for 10 eval '! scrawlix_running' || fail "the menu's Exit did not end the program"
}

run_section "$@"
