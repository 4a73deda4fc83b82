# Helpers for the tests of saving, opening and printing, sourced after lib.sh: finding the canvas, the
# toolbox and the program's dialogs on screen, answering the file dialogs, comparing the screen with
# image files.
# shellcheck shell=bash

CANVAS=""  # the canvas window, once capture_screen has shown it
TOOLBOX="" # the toolbox window

# app_window_named NAME: the program's visible window with exactly this title (the newest if several).
app_window_named() {
    local w found=""
    for w in $(app_windows_of_pid "$SCRAWLIX_PID"); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && found=$w
    done
    [ -n "$found" ] && echo "$found"
}

# wait_app_window NAME [TIMEOUT]: waits for the window and prints its id.
wait_app_window() {
    wait_for "${2:-10}" app_window_named "$1" || fail "no window \"$1\" appeared"
    app_window_named "$1"
}

# A message box of ours: a visible window with this title that is neither the canvas nor the toolbox.
message_box_named() {
    local w
    for w in $(app_windows_of_pid "$SCRAWLIX_PID"); do
        [ "$w" = "$CANVAS" ] || [ "$w" = "$TOOLBOX" ] && continue
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && echo "$w" && return 0
    done
    return 1
}

_window_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
wait_window_gone() { wait_for "${2:-10}" _window_gone "$1" || fail "window $1 did not close"; }

# _geometry_is WIN "X Y W H"
_geometry_is() { [ "$(window_geometry "$1")" = "$2" ]; }

# screen_size: "W H" of the screen.
screen_size() { xdpyinfo | awk '/dimensions:/ && !done { sub("x", " ", $2); print $2; done = 1 }'; }

# capture_screen: Super+V, then waits for the canvas over the whole screen and the toolbox.
capture_screen() {
    local size
    size=$(screen_size)
    press_hotkey v
    wait_for 10 app_window_named Scrawlix || fail "Super+V showed no canvas"
    CANVAS=$(app_window_named Scrawlix)
    TOOLBOX=$(wait_app_window Toolbox)
    wait_for 10 _geometry_is "$CANVAS" "0 0 $size" ||
        fail "the canvas does not cover the screen: $(window_geometry "$CANVAS")"
    nap 0.3 # the first paint
}

_canvas_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((CANVAS))" ]; }
# focus_canvas: gives the canvas the keyboard focus, as a click on it would.
focus_canvas() {
    _canvas_focused && return 0
    xdotool windowactivate "$CANVAS" 2>/dev/null || xdotool windowfocus "$CANVAS"
    wait_for 5 _canvas_focused || fail "the canvas does not take the focus"
}

# toolbox_area: "X Y W H" of the toolbox with its frame and a few pixels around it, for leaving it out of
# pixel comparisons.
toolbox_area() {
    local x y w h
    read -r x y w h < <(window_geometry "$TOOLBOX")
    echo "$((x > 8 ? x - 8 : 0)) $((y > 30 ? y - 30 : 0)) $((w + 16)) $((h + 38))"
}

# answer_file_dialog TITLE PATH: types PATH into the file dialog's name box and presses Return.
answer_file_dialog() {
    local dlg
    dlg=$(wait_app_window "$1")
    # shellcheck disable=SC2016 # expanded by eval, each time wait_for tries
    wait_for 5 eval '[ "$(xdotool getwindowfocus)" = "$((dlg))" ]' || xdotool windowactivate "$dlg"
    xdotool type --delay 8 "$2"
    nap 0.2
    xdotool key Return
    wait_window_gone "$dlg"
}

# dismiss_message_box TITLE: waits for one of our message boxes and closes it with Return. A screenshot
# of it is kept as message-N-TITLE.png.
_message_boxes=0
dismiss_message_box() {
    local box
    wait_for 10 message_box_named "$1" || fail "no message box \"$1\" appeared"
    box=$(message_box_named "$1")
    _message_boxes=$((_message_boxes + 1))
    nap 0.2
    screenshot "message-$_message_boxes-$1.png"
    # shellcheck disable=SC2016 # expanded by eval, each time wait_for tries
    wait_for 5 eval '[ "$(xdotool getwindowfocus)" = "$((box))" ]' || xdotool windowactivate "$box" 2>/dev/null || true
    xdotool key Return
    wait_window_gone "$box"
}

# crop FILE X Y W H OUT: a part of an image as a PNG (a bare OUT goes into E2E_TMP).
crop() { convert "$(_artefact "$1")" -crop "${4}x${5}+$2+$3" +repage "$(_artefact "$6")"; }

# image_size FILE: "W H".
image_size() {
    identify -format '%w %h' "$(_artefact "$1")[0]"
    echo
}

# press_shortcut MODIFIER KEY: KEY typed with MODIFIER held, the way a person types it. The program asks
# whether the modifier is down when it handles the key, so the modifier stays down a moment longer than
# xdotool's own "ctrl+s" would keep it.
press_shortcut() {
    xdotool keydown "$1"
    xdotool key "$2"
    nap 0.4
    xdotool keyup "$1"
}
