#!/usr/bin/env bash
# An ordinary user's first day (uid 65534, a home of its own): a hot key that another program holds,
# an image opened before any capture, "Custom ..." picked twice, start with the system and read-only
# autostart and settings folders, and a Ctrl pressed long before the hot key.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"
source "$(dirname "$0")/imaging.sh"
source "$(dirname "$0")/dialogs_lib.sh"

start_as_user() { # the user starts Scrawlix, as uid 65534 in a fresh home; its icon in the tray
    as_unprivileged_user ann
    start_in_tray
    [ "$(stat -c %u "/proc/$SCRAWLIX_PID")" = 65534 ] || fail "the program does not run as uid 65534"
}

t_key_taken() {
    section "another program holds Windows key + V: a tray message tells that the hot key is taken"
    [ -x "${E2E_GRABKEY:-}" ] || fail "no key-grabbing helper at ${E2E_GRABKEY:-} (build it first)"
    keycode=$(xmodmap -pke | awk '$4 == "v" && !k { k = $2 } END { print k }')
    "$E2E_GRABKEY" "$keycode" >"$E2E_TMP/grab.log" 2>&1 &
    _e2e_pids+=($!)
    wait_for 5 grep -q grabbed "$E2E_TMP/grab.log" || fail "the helper could not hold Super+V"
    start_as_user
    wait_for 10 _menu_shown "$(tray_icon)" || fail "no tray message appeared: $(program_windows)"
    screenshot notice.png
    grep -q 'cannot register hot key Super+V' "$SCRAWLIX_LOG" || fail "no word of the taken key in the log"
    scrawlix_running || fail "the program ended"
    ! w=$(_menu_window "$(tray_icon)") || click_window "$w" # a click closes it
    wait_for 5 _no_menu "$(tray_icon)" || fail "the tray message did not close"
}

t_open_image() {
    section "an image opened from the tray before any capture takes the highlighter"
    start_as_user
    convert -size 400x300 xc:white -alpha off -depth 8 -type TrueColor "BMP3:$E2E_TMP/white.bmp"
    chmod 0644 "$E2E_TMP/white.bmp"
    tray_menu Down Down Down Down Return # Open
    answer_dialog "Open Image..." Return "$E2E_TMP/white.bmp"
    wait_canvas 0 0 400 300
    pick_tool 6
    drag 50 150 350 150 20
    settled_shot highlighted.png
    n=$(count_color highlighted.png 40 140 320 20 255,255,0)
    ((n > 1000)) || fail "the highlighter marked $n pixels yellow"
    section "\"Custom ...\" picked again asks for the colour again"
    pick_custom() {
        local x y dlg
        read -r x y _ < <(window_geometry "$(toolbox_window)") || fail "no toolbox"
        click_at $((x + $(twips 1000))) $((y + $(twips 400)))
        nap 0.4
        xdotool key End Return
        wait_for 10 app_window_named "Select Custom Color" || fail "\"Custom ...\" did not ask for a colour"
        dlg=$(app_window_named "Select Custom Color")
        for _ in 1 2 3; do # the dialog may take a moment to let its buttons have the keys
            xdotool windowactivate --sync "$dlg" 2>/dev/null || true
            nap 0.5
            xdotool key Escape
            wait_for 3 no_window_named "Select Custom Color" && return 0
        done
        fail "the colour dialog stayed open"
    }
    pick_custom
    pick_custom
}

t_configuration() {
    section "Configuration: letter K and start with the system, in the user's own autostart folder"
    start_as_user
    tray_menu c
    wait_window "Scrawlix Configuration"
    xdotool key --delay 40 ctrl+a K # the hot-key box has the focus
    dlg=$(windows_named "Scrawlix Configuration" | head -1)
    read -r dx dy _ < <(window_geometry "$dlg")
    click_at $((dx + $(twips 240) + 8)) $((dy + $(twips 3480) + $(twips 247)))
    xdotool windowactivate --sync "$dlg" 2>/dev/null || true
    nap 0.2
    xdotool key --delay 40 alt+o
    wait_window_gone "Scrawlix Configuration"
    entry=$XDG_CONFIG_HOME/autostart/Scrawlix.desktop
    [ -f "$entry" ] || fail "no autostart entry at $entry"
    grep -q '^Exec=' "$entry" && ! grep -q '^Hidden=true' "$entry" || fail "the entry does not start the program"
    [ "$(stat -c %u "$entry")" = 65534 ] || fail "the entry is not the user's"
    no_window_named Error || fail "an error box appeared"
    hotkey_canvas k
    send_to_tray
    section "a read-only autostart folder: \"Error.  Cannot Access The Subkey.\""
    chmod 0555 "$XDG_CONFIG_HOME/autostart"
    tray_menu c
    wait_window "Scrawlix Configuration"
    xdotool key --delay 40 alt+o
    answer_dialog Error Return
    wait_window_gone "Scrawlix Configuration"
    section "a read-only settings folder: OK says that the settings were not saved"
    chmod 0755 "$XDG_CONFIG_HOME/autostart"
    chmod 0555 "$XDG_CONFIG_HOME/Scrawlix"
    tray_menu c
    wait_window "Scrawlix Configuration"
    xdotool key --delay 40 ctrl+a J alt+o
    answer_dialog Error Return
    wait_window_gone "Scrawlix Configuration"
    grep -q '^HotKey=K' "$(settings_file)" || fail "the settings file changed: $(cat "$(settings_file)")"
    hotkey_canvas j
    stop_scrawlix || fail "TERM did not end the program"
}

t_ctrl_long_before() {
    section "a Ctrl pressed long before the hot key is forgotten"
    start_as_user
    target_window 400 300 600 300 white # what a remembered Ctrl would capture
    xdotool key ctrl
    nap 2
    hotkey_canvas
}

run_section "$@"
