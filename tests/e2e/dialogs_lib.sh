# shellcheck shell=bash
# Helpers for the scenarios of the program's dialogs. Source after lib.sh.

# dlg_tray_menu KEYS...: opens the tray icon's menu with the right button and types the keys into it.
# Keys typed before the menu has grabbed the keyboard are lost, so when the menu is still open a
# moment later they are typed once more.
dlg_tray_menu() {
    local icon
    icon=$(tray_icons_of_pid "$SCRAWLIX_PID" | head -1)
    [ -n "$icon" ] || fail "no tray icon"
    wait_for 5 _dlg_no_menu "$icon" || fail "the previous menu is still open: $(_dlg_windows)"
    click_window "$icon" 3
    wait_for 3 _dlg_menu_shown "$icon" || click_window "$icon" 3
    wait_for 5 _dlg_menu_shown "$icon" || fail "the tray menu did not open: $(_dlg_windows)"
    xdotool key --delay 60 "$@"
    wait_for 2 _dlg_no_menu "$icon" && return
    xdotool key --delay 60 "$@"
    wait_for 5 _dlg_no_menu "$icon" || fail "the tray menu did not take the keys $*: $(_dlg_windows)"
}
# _dlg_windows: the program's viewable windows with their geometry and title, for failure messages.
_dlg_windows() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$SCRAWLIX_PID" 2>/dev/null); do
        printf '[%s %s "%s"] ' "$w" "$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ { print $2 }')" \
            "$(xdotool getwindowname "$w" 2>/dev/null)"
    done
}
# The popup menu: a viewable override-redirect window of the program's other than the tray icon
# (which is one too).
_dlg_menu_shown() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$SCRAWLIX_PID" 2>/dev/null); do
        [ "$((w))" = "$(($1))" ] && continue
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}
_dlg_no_menu() { ! _dlg_menu_shown "$1"; }

# windows_named TITLE: the program's viewable windows whose title is TITLE, one a line.
windows_named() { xdotool search --all --onlyvisible --pid "$SCRAWLIX_PID" --name "^$1\$" 2>/dev/null || :; }
has_window_named() { [ -n "$(windows_named "$1")" ]; }
active_window_is() { [ "$(($(xdotool getactivewindow 2>/dev/null || echo 0)))" = "$(($1))" ]; }

# wait_window TITLE: waits for the window to open and take the focus, so that typing reaches it.
wait_window() {
    local w
    wait_for 10 has_window_named "$1" || fail "no window \"$1\" appeared: $(_dlg_windows)"
    w=$(windows_named "$1" | head -1)
    wait_for 5 active_window_is "$w" || fail "\"$1\" did not get the focus"
}
no_window_named() { ! has_window_named "$1"; }
wait_window_gone() { wait_for 5 no_window_named "$1" || fail "the window \"$1\" stayed open"; }
