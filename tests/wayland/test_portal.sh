#!/usr/bin/env bash
# A Wayland session with the screenshot portal and global shortcuts: the portal's shortcut captures
# the native window pixel for pixel, the canvas's commands work, and captures never overlap.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../e2e/imaging.sh"

start_bound() { # the pattern on the screen, and the program with its shortcut LOGO+v bound through the portal
    start_pattern
    QT_LOGGING_RULES=scrawlix.capture.info=true start_scrawlix_settled
    wait_for 10 standin_saw 'BindShortcuts.*"capture-screen".*"preferred_trigger": "LOGO\+v"' ||
        fail "no shortcut LOGO+v was bound through the portal: $(cat "$STANDIN_LOG")"
}
capture_pattern() { start_bound; capture_as_before press_shortcut_standin capture-screen; }

t_shortcut() {
    section "the portal's shortcut captures; the native window comes out pixel for pixel"
    capture_pattern
    [ ! -e "$HOME/Pictures" ] || [ -z "$(ls -A "$HOME/Pictures")" ] || fail "the portal's file was left behind"
}

t_copy() {
    section "copy puts the canvas minus its one-pixel frame on the clipboard"
    capture_pattern
    copy_canvas clip.png
    expect_eq "clipboard image size" "$((SCREEN_W - 2))x$((SCREEN_H - 2))" "$(identify -format '%wx%h' "$E2E_TMP/clip.png")"
    same_region clip.png 0 0 before.png 1 1 500 700 || fail "the clipboard image is not the canvas"
}

t_save() {
    section "Ctrl+S saves the canvas as shown"
    capture_pattern
    # shellcheck disable=SC2034 # press_shortcut reads it
    CANVAS=$(canvas_window)
    press_shortcut ctrl s
    answer_dialog "Save Image..." Return "$E2E_TMP/saved.bmp"
    wait_for 10 test -s "$E2E_TMP/saved.bmp" || fail "no file was written"
    expect_eq "saved image size" "$((SCREEN_W - 2))x$((SCREEN_H - 2))" "$(identify -format '%wx%h' "$E2E_TMP/saved.bmp")"
    same_region saved.bmp 0 0 before.png 1 1 500 700 || fail "the saved image is not the canvas"
}

t_hide() {
    section "hide keeps the canvas; the shortcut brings it back"
    capture_pattern
    send_to_tray hide
    press_shortcut_standin capture-screen
    # The kept snapshot (the canvas less its one-pixel frame) shows wherever the canvas window now is.
    # The window comes back at the snapshot's size, or full screen: sway now and then restores the
    # full-screen state the window had when it left.
    wait_for 10 eval 'sway_shows Scrawlix && toolbox_shown' ||
        fail "the canvas and toolbox did not appear: $(program_windows)"
    kept_back() {
        local cx cy
        read -r cx cy _ < <(window_geometry "$(canvas_window)") || return 1
        screenshot back.png && same_region back.png "$cx" "$cy" before.png 1 1 500 700
    }
    wait_for 10 kept_back || fail "the kept canvas did not come back as it was: $(program_windows)"
}

t_rebind() {
    section "a new letter in Configuration re-binds the shortcut"
    capture_pattern
    mkdir -p "$XDG_CONFIG_DIRS/autostart" # where the start-up entry is looked for
    click_toolbox config
    wait_for 10 configuration || fail "the configuration dialog did not open"
    dlg=$(configuration | head -1)
    wait_for 5 eval '[ "$(xdotool getwindowfocus)" = "$((dlg))" ]' || xdotool windowactivate "$dlg" 2>/dev/null || :
    xdotool key --delay 40 ctrl+a K alt+o
    wait_for 10 standin_saw '"preferred_trigger": "LOGO\+k"' || fail "the shortcut was not re-bound to LOGO+k"
    wait_for 5 standin_saw 'Session.Close' || fail "the old shortcut session was not closed"
    send_to_tray
    press_shortcut_standin capture-screen
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
}

t_join() {
    section "requests while the portal reads the screen join that capture"
    capture_pattern
    send_to_tray
    from=$(($(wc -l <"$SCRAWLIX_LOG") + 1))
    # Requests over two seconds, through the shortcut and the command line: some come while a
    # capture is under way, which they join; the rest, after its canvas shows, capture afresh.
    senders=()
    for i in {1..14}; do
        if ((i % 4 == 0)); then
            "$SCRAWLIX_BIN" --capture-screen &
            senders+=($!)
        else
            press_shortcut_standin capture-screen
        fi
        nap 0.15
    done
    wait "${senders[@]}"
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
    # Each capture begins (its settle) and ends (shown) before the next begins.
    order=$(tail -n +"$from" "$SCRAWLIX_LOG" | awk '/settle wait/ { printf "b" } /shown after|capture phases/ { printf "e" }')
    [[ $order =~ ^(be)+$ ]] || fail "captures ran inside one another: $order (b: begun, e: shown)"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
