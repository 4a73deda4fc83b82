#!/usr/bin/env bash
# Saving and opening image files with the real program and Qt's file dialog: a drawing saved with Ctrl+S
# is the canvas without its one-pixel frame, as a BMP file; Shift+Delete erases; Ctrl+O and the tray
# menu's Open show a JPEG and a GIF at the top-left corner of the screen at their own size.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/imaging.sh"

# capture_bare: the program started and the screen captured, as bare.png; the canvas's size in sw sh.
# The toolbox with its frame and a few pixels around it (tx ty tw th) is left out of the comparisons:
# it is hidden while the canvas is photographed, and opening a file moves the canvas under it.
capture_bare() {
    start_scrawlix_settled
    capture_screen
    read -r _ _ sw sh < <(window_geometry "$CANVAS")
    read -r tx ty tw th < <(window_geometry "$(app_window_named Toolbox)")
    tx=$((tx > 8 ? tx - 8 : 0)) ty=$((ty > 30 ? ty - 30 : 0)) tw=$((tw + 16)) th=$((th + 38))
    screenshot bare.png
}

# draw_stroke: a pen stroke across the canvas, in the default tool's yellow.
draw_stroke() {
    pointer_to 400 300
    xdotool mousedown 1
    for x in 450 520 600 700 820; do xdotool mousemove --sync "$x" $((300 + (x - 400) / 3)); done
    xdotool mouseup 1
    wait_for 5 eval '[ "$(screen_pixel 600 366)" = 255,255,0 ]' || fail "the pen stroke is not on the screen"
}

t_save() {
    section "draw on a capture and save it with Ctrl+S"
    capture_bare
    draw_stroke
    screenshot drawn.png
    press_shortcut ctrl s
    answer_dialog "Save Image..." Return "$E2E_TMP/drawing.bmp"
    expect_saved_canvas "$sw" "$sh" "$tx" "$ty" "$tw" "$th"
}

t_erase() {
    section "Shift+Delete erases the drawing"
    capture_bare
    draw_stroke
    press_shortcut shift Delete
    erased() { screenshot now.png && [ "$(diff_pixels_outside now.png bare.png "$tx" "$ty" "$tw" "$th")" = 0 ]; }
    wait_for 5 erased || fail "the screen after Shift+Delete differs from the bare capture"
}

# shows_file FILE FUZZ [tray]: FILE opened on a capture (open_file), the top-left corner of the screen
# shows its picture (FUZZ, a percentage, allows for JPEG's rounding).
shows_file() {
    capture_bare
    open_file "$1" "${3:-}"
    screenshot shown.png
    convert "$E2E_TMP/shown.png" -crop "$(identify -format '%wx%h' "$1")+0+0" +repage "$E2E_TMP/shown.png"
    convert "$1" "$E2E_TMP/file.png"
    expect_eq "pixels that differ from ${1##*/}" 0 \
        "$(diff_pixels_outside shown.png file.png "$tx" "$ty" "$tw" "$th" "$2")"
}

t_open_jpeg() {
    section "Ctrl+O shows a JPEG at the top-left corner at its size"
    convert -size 640x400 gradient:'#2050c0-#c05020' -fill '#20c020' -draw 'rectangle 300,150 420,260' \
        -quality 95 "$E2E_TMP/photo.jpg"
    shows_file "$E2E_TMP/photo.jpg" 2
}

t_open_gif() {
    section "the tray menu's Open shows a GIF at the top-left corner at its size"
    convert -size 300x500 xc:'#d0d030' -fill '#3030d0' -draw 'rectangle 150,200 299,499' "$E2E_TMP/picture.gif"
    shows_file "$E2E_TMP/picture.gif" 0 tray
}

run_section "$@"
