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

# title_bar WIN FILE: a picture of the frame above WIN's client area, WIN active.
title_bar() {
    local x y w cy
    xdotool windowactivate --sync "$1" 2>/dev/null || true
    wait_for 5 active_window_is "$1" || fail "the window $1 did not get the focus"
    read -r x y w _ < <(frame_rect "$1")
    read -r _ cy _ < <(window_geometry "$1")
    ((cy > y)) || fail "the window $1 has no title bar"
    settle_screen "$x" "$y" "$w" $((cy - y))
    screenshot "$2" "$x" "$y" "$w" $((cy - y))
}

# title_fits WIN: the window manager shows WIN's whole title in its frame. The title as the frame
# draws it in full comes from a wide window of another program with the same title (the pixels that
# taking its title away changes); it has to appear, pixel for pixel, in WIN's title bar.
title_fits() {
    local win=$1 title pid ref box
    title=$(xdotool getwindowname "$win")
    xmessage -name e2e-title -title "$title" -geometry 900x60+400+400 reference 2>/dev/null &
    pid=$!
    _e2e_pids+=("$pid")
    wait_for 10 eval '[ -n "$(xdotool search --onlyvisible --classname "^e2e-title$" 2>/dev/null)" ]' ||
        fail "no reference window titled \"$title\""
    ref=$(xdotool search --onlyvisible --classname '^e2e-title$' | head -1)
    title_bar "$ref" title-full.png
    xdotool set_window --name " " "$ref"
    wait_for 5 eval 'title_bar "$ref" title-none.png && [ "$(diff_pixels title-full.png title-none.png)" != 0 ]' ||
        fail "the reference window's title bar did not change with its title"
    box=$(convert "$E2E_TMP/title-full.png" "$E2E_TMP/title-none.png" -compose difference -composite \
        -threshold 0 -format '%@' info:)
    convert "$E2E_TMP/title-full.png" -crop "$box" +repage "$E2E_TMP/title-text.png"
    kill "$pid"
    wait_for 5 eval '[ -z "$(xdotool search --onlyvisible --classname "^e2e-title$" 2>/dev/null)" ]' ||
        fail "the reference window stayed"
    title_bar "$win" title-bar.png
    compare -metric AE -subimage-search "$E2E_TMP/title-bar.png" "$E2E_TMP/title-text.png" null: >/dev/null 2>&1
}
