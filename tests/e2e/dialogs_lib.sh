# shellcheck shell=bash
# Helpers for the scenarios of the program's dialogs. Source after lib.sh.

# windows_named TITLE: the program's viewable windows whose title is TITLE, one a line.
windows_named() { xdotool search --all --onlyvisible --pid "$SCRAWLIX_PID" --name "^$1\$" 2>/dev/null || :; }
has_window_named() { [ -n "$(windows_named "$1")" ]; }
active_window_is() { [ "$(($(xdotool getactivewindow 2>/dev/null || echo 0)))" = "$(($1))" ]; }

# wait_window TITLE: waits for the window to open and take the focus, so that typing reaches it.
wait_window() {
    local w
    wait_for 10 has_window_named "$1" || fail "no window \"$1\" appeared: $(program_windows)"
    w=$(windows_named "$1" | head -1)
    wait_for 5 active_window_is "$w" || fail "\"$1\" did not get the focus"
}
no_window_named() { ! has_window_named "$1"; }
wait_window_gone() { wait_for 5 no_window_named "$1" || fail "the window \"$1\" stayed open"; }
