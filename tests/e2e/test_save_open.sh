#!/usr/bin/env bash
# Saving and opening image files with the real program and Qt's file dialog: a drawing saved with Ctrl+S
# is the canvas without its one-pixel frame, as a BMP file; Shift+Delete erases; Ctrl+O and the tray
# menu's Open show a JPEG and a GIF at the top-left corner of the screen at their own size.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/imaging.sh"

start_scrawlix_settled

section "draw on a capture and save it with Ctrl+S"
capture_screen
read -r _ _ sw sh < <(window_geometry "$CANVAS")
# The toolbox with its frame and a few pixels around it, left out of the comparisons: it is hidden while
# the canvas is photographed, and opening a file moves the canvas under it.
read -r tx ty tw th < <(window_geometry "$(app_window_named Toolbox)")
tx=$((tx > 8 ? tx - 8 : 0)) ty=$((ty > 30 ? ty - 30 : 0)) tw=$((tw + 16)) th=$((th + 38))
screenshot bare.png
pointer_to 400 300
xdotool mousedown 1
for x in 450 520 600 700 820; do xdotool mousemove --sync "$x" $((300 + (x - 400) / 3)); done
xdotool mouseup 1
drawn() { [ "$(screen_pixel 600 366)" = 255,255,0 ]; } # the default tool is the yellow pen
wait_for 5 drawn || fail "the pen stroke is not on the screen"
screenshot drawn.png
press_shortcut ctrl s
answer_dialog "Save Image..." Return "$E2E_TMP/drawing.bmp"
wait_for 10 test -s "$E2E_TMP/drawing.bmp" || fail "no file was written"
format=$(identify -format '%m %w %h' "$E2E_TMP/drawing.bmp")
[[ $format == BMP?" $((sw - 2)) $((sh - 2))" ]] || fail "expected a $((sw - 2))x$((sh - 2)) BMP file, found: $format"
convert "$E2E_TMP/drawn.png" -crop "$((sw - 2))x$((sh - 2))+1+1" +repage "$E2E_TMP/expected.png"
expect_eq "pixels of the saved file that differ from the screen" 0 \
    "$(diff_pixels_outside drawing.bmp expected.png $((tx - 1)) $((ty - 1)) "$tw" "$th")"

section "Shift+Delete erases the drawing"
press_shortcut shift Delete
erased() { screenshot now.png && [ "$(diff_pixels_outside now.png bare.png "$tx" "$ty" "$tw" "$th")" = 0 ]; }
wait_for 5 erased || fail "the screen after Shift+Delete differs from the bare capture"

# shows_file FILE [FUZZ]: the top-left corner of the screen shows the picture in FILE (FUZZ, a
# percentage, allows for JPEG's rounding).
shows_file() {
    screenshot shown.png
    convert "$E2E_TMP/shown.png" -crop "$(identify -format '%wx%h' "$1")+0+0" +repage "$E2E_TMP/shown.png"
    convert "$1" "$E2E_TMP/file.png"
    expect_eq "pixels that differ from ${1##*/}" 0 \
        "$(diff_pixels_outside shown.png file.png "$tx" "$ty" "$tw" "$th" "${2:-0}")"
}

section "Ctrl+O shows a JPEG at the top-left corner at its size"
convert -size 640x400 gradient:'#2050c0-#c05020' -fill '#20c020' -draw 'rectangle 300,150 420,260' \
    -quality 95 "$E2E_TMP/photo.jpg"
open_file "$E2E_TMP/photo.jpg"
shows_file "$E2E_TMP/photo.jpg" 2

section "the tray menu's Open shows a GIF at the top-left corner at its size"
convert -size 300x500 xc:'#d0d030' -fill '#3030d0' -draw 'rectangle 150,200 299,499' "$E2E_TMP/picture.gif"
open_file "$E2E_TMP/picture.gif" tray
shows_file "$E2E_TMP/picture.gif"

stop_scrawlix || fail "TERM did not end the program"
