# Helpers for the tests of saving, opening and printing, sourced after lib.sh: the program's windows by
# title, shortcuts on the canvas, and answering its dialogs.
# shellcheck shell=bash

CANVAS="" # the canvas window, once capture_screen has shown it

# app_window_named NAME: the program's visible window with exactly this title (the newest if several).
app_window_named() {
    local w found=""
    for w in $(app_windows_of_pid "$SCRAWLIX_PID"); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && found=$w
    done
    [ -n "$found" ] && echo "$found"
}
_geometry_is() { [ "$(window_geometry "$1")" = "$2" ]; }

# capture_screen: Super+V, then waits for the canvas over the whole screen and the toolbox.
capture_screen() {
    local size
    size=$(screen_size)
    press_hotkey v
    wait_for 10 app_window_named Scrawlix || fail "Super+V showed no canvas"
    wait_for 10 app_window_named Toolbox || fail "Super+V showed no toolbox"
    CANVAS=$(app_window_named Scrawlix)
    wait_for 10 _geometry_is "$CANVAS" "0 0 $size" ||
        fail "the canvas does not cover the screen: $(window_geometry "$CANVAS")"
    nap 0.3 # the first paint
}

# press_shortcut MODIFIER KEY: KEY on the canvas, MODIFIER held a moment longer than xdotool's "ctrl+s"
# holds it, as a person does: the program asks whether the modifier is down when it handles the key.
_canvas_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((CANVAS))" ]; }
press_shortcut() {
    _canvas_focused || xdotool windowactivate "$CANVAS" 2>/dev/null || xdotool windowfocus "$CANVAS"
    wait_for 5 _canvas_focused || fail "the canvas does not take the focus"
    xdotool keydown "$1"
    xdotool key "$2"
    nap 0.4
    xdotool keyup "$1"
}

# answer_dialog TITLE KEY [TEXT]: puts TEXT into the dialog's field, if given, then presses KEY; the dialog
# closes.
answer_dialog() {
    local dlg
    wait_for 20 app_window_named "$1" || fail "no window \"$1\" appeared"
    dlg=$(app_window_named "$1")
    # shellcheck disable=SC2016 # expanded by eval, each time wait_for tries
    wait_for 5 eval '[ "$(xdotool getwindowfocus)" = "$((dlg))" ]' || xdotool windowactivate "$dlg" 2>/dev/null || true
    # Pasted, not typed: under XWayland a key typed while the file dialog's completion list opens or
    # closes is lost ("saed.bmp" for "saved.bmp").
    if [ -n "${3:-}" ]; then
        printf %s "$3" | xclip -selection clipboard -i
        xdotool key ctrl+a ctrl+v
    fi
    nap 0.2
    xdotool key "$2"
    wait_for 10 eval '! app_window_named "$1"' || fail "the window \"$1\" stayed open"
}

# open_file FILE [tray]: Ctrl+O on the canvas, or the tray menu's Open, then FILE in the Open dialog; the
# canvas then sits at (0, 0) at the picture's size.
open_file() {
    local size
    size=$(identify -format '%w %h' "$1[0]")
    if [ "${2:-}" = tray ]; then
        tray_menu Down Down Down Down Return # Capture Screen, Capture Window, Show Toolbox, Open
    else
        press_shortcut ctrl o
    fi
    answer_dialog "Open Image..." Return "$1"
    wait_for 10 _geometry_is "$CANVAS" "0 0 $size" || fail "canvas at $(window_geometry "$CANVAS"), not 0 0 $size"
    nap 0.3
}

# expect_saved_canvas W H TX TY TW TH: drawing.bmp is the W x H canvas in drawn.png less its one-pixel
# frame, as a BMP file, away from the toolbox at TX TY TW TH (hidden while the file is taken).
expect_saved_canvas() {
    local format
    wait_for 10 test -s "$E2E_TMP/drawing.bmp" || fail "no file was written"
    format=$(identify -format '%m %w %h' "$E2E_TMP/drawing.bmp")
    [[ $format == BMP?" $(($1 - 2)) $(($2 - 2))" ]] || fail "expected a $(($1 - 2))x$(($2 - 2)) BMP file, found: $format"
    convert "$E2E_TMP/drawn.png" -crop "$(($1 - 2))x$(($2 - 2))+1+1" +repage "$E2E_TMP/expected.png"
    expect_eq "pixels of the saved file that differ from the screen" 0 \
        "$(diff_pixels_outside drawing.bmp expected.png $(($3 - 1)) $(($4 - 1)) "$5" "$6")"
}
