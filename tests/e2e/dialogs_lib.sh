# shellcheck shell=bash
# Helpers for the scenarios of the program's dialogs (configuration, About, message boxes) and of
# the programs it launches. Source after lib.sh.

# dlg_tray_menu KEYS...: opens the tray icon's menu with the right button and types the keys into
# it (an item's access key, or arrows and Return).
dlg_tray_menu() {
    local icon
    icon=$(tray_icons_of_pid "$SCRAWLIX_PID" | head -1)
    [ -n "$icon" ] || fail "no tray icon"
    click_window "$icon" 3
    wait_for 5 _dlg_menu_shown || fail "the tray menu did not open"
    xdotool key --delay 60 "$@"
}

# The popup menu: a viewable override-redirect window of the program's.
_dlg_menu_shown() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$SCRAWLIX_PID" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

# windows_named TITLE: the program's viewable windows whose title is exactly TITLE, one a line.
windows_named() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$SCRAWLIX_PID" 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && echo "$w"
    done
    return 0
}
window_named() { windows_named "$1" | head -1; }
has_window_named() { [ -n "$(window_named "$1")" ]; }
no_window_named() { [ -z "$(window_named "$1")" ]; }

# wait_window TITLE [SECS]: waits for the window and prints its id; fails the test otherwise.
wait_window() {
    wait_for "${2:-10}" has_window_named "$1" || fail "no window \"$1\" appeared"
    window_named "$1"
}

# wait_window_gone TITLE [SECS]
wait_window_gone() {
    wait_for "${2:-5}" no_window_named "$1" || fail "the window \"$1\" stayed open"
}

# click_client WIN X Y: clicks at (X, Y) of WIN's client area.
click_client() {
    local x y w h
    read -r x y w h < <(window_geometry "$1") || fail "click_client: no window $1"
    pointer_to $((x + $2)) $((y + $3))
    xdotool click 1
}

# close_window WIN: asks WIN to close the way its close box does: through the window manager, which
# sends the window a WM_DELETE_WINDOW message. (The session's window manager binds no mouse action to
# the close box itself.) Needs wmctrl; returns 2 without it.
close_window() {
    command -v wmctrl >/dev/null || return 2
    wmctrl -i -c "$1"
}

# active_window_is WIN
active_window_is() { [ "$(($(xdotool getactivewindow 2>/dev/null || echo 0)))" = "$(($1))" ]; }

# fake_opener: puts a recording xdg-open first on PATH (for programs started afterwards). Each call
# appends its arguments, one call a line, to E2E_TMP/opened.log.
fake_opener() {
    mkdir -p "$E2E_TMP/bin"
    cat >"$E2E_TMP/bin/xdg-open" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$*" >>"$E2E_TMP/opened.log"
SCRIPT
    chmod +x "$E2E_TMP/bin/xdg-open"
    : >"$E2E_TMP/opened.log"
    export PATH="$E2E_TMP/bin:$PATH"
}
opened_lines() { cat "$E2E_TMP/opened.log"; }
opened_count() { grep -c . "$E2E_TMP/opened.log" || true; }
opened_something() { [ -s "$E2E_TMP/opened.log" ]; }

# url_decode TEXT: %XX escapes undone.
url_decode() { printf '%b\n' "${1//%/\\x}"; }
