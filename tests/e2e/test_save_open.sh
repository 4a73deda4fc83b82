#!/usr/bin/env bash
# Saving and opening image files with the real program and Qt's file dialog: a drawing saved with Ctrl+S
# is the canvas without its one-pixel frame, as BMP data whatever the name; "PNG ERROR!" for a lower-case
# png name; a failed save is reported and the program goes on; Shift+Delete erases; Ctrl+O and the tray
# menu's Open show a JPEG and a GIF at the top-left corner of the screen at their own size.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/imaging.sh"

start_scrawlix_settled

section "draw on a capture and save it with Ctrl+S"
capture_screen
read -r sw sh < <(screen_size)
read -r tx ty tw th < <(toolbox_area)
screenshot bare.png
pointer_to 400 300
xdotool mousedown 1
for x in 450 520 600 700 820; do
    xdotool mousemove --sync "$x" $((300 + (x - 400) / 3))
done
xdotool mouseup 1
# The default tool is the yellow pen.
drawn() { [ "$(screen_pixel 600 366)" = "255,255,0" ]; }
wait_for 5 drawn || fail "the pen stroke is not on the screen"
screenshot drawn.png
focus_canvas
press_shortcut ctrl s
answer_file_dialog "Save Image..." "$E2E_TMP/drawing.bmp"
wait_for 10 test -s "$E2E_TMP/drawing.bmp" || fail "no file was written"
format=$(identify -format '%m %w %h' "$E2E_TMP/drawing.bmp")
[[ $format == "BMP"?" $((sw - 2)) $((sh - 2))" ]] || fail "expected a $((sw - 2))x$((sh - 2)) BMP file, found: $format"
crop drawn.png 1 1 $((sw - 2)) $((sh - 2)) expected.png
# Shifted by the frame; the toolbox is hidden while the canvas is photographed, so its place differs.
differ=$(diff_pixels_outside drawing.bmp expected.png $((tx - 1)) $((ty - 1)) "$tw" "$th")
expect_eq "pixels of the saved file that differ from the screen" 0 "$differ"
[ "$(pixel drawing.bmp 599 365)" = "255,255,0" ] || fail "the stroke is not in the file"
wait_for 5 app_window_named Toolbox || fail "the toolbox did not come back after the save"

section "a lower-case png name warns and still gets BMP data"
focus_canvas
press_shortcut ctrl s
answer_file_dialog "Save Image..." "$E2E_TMP/shot.png"
dismiss_message_box Scrawlix
wait_for 10 test -s "$E2E_TMP/shot.png" || fail "shot.png was not written"
[[ $(identify -format '%m' "$E2E_TMP/shot.png") == BMP* ]] || fail "shot.png does not hold BMP data"
expect_eq "signature of shot.png" BM "$(head -c 2 "$E2E_TMP/shot.png")"

section "a save into a missing folder is reported and the program goes on"
focus_canvas
press_shortcut ctrl s
answer_file_dialog "Save Image..." "$E2E_TMP/no/such/folder/x.bmp"
dismiss_message_box Scrawlix
[ -e "$E2E_TMP/no" ] && fail "something was written for the missing folder"
scrawlix_running || fail "the program ended after the failed save"

section "Shift+Delete erases the drawing"
focus_canvas
press_shortcut shift Delete
erased() {
    screenshot now.png
    [ "$(diff_pixels_outside now.png bare.png "$tx" "$ty" "$tw" "$th")" = 0 ]
}
wait_for 5 erased || fail "the screen after Shift+Delete differs from the bare capture"

section "Ctrl+O shows a JPEG at the top-left corner at its size"
convert -size 640x400 gradient:'#2050c0-#c05020' -fill '#20c020' -draw 'rectangle 300,150 420,260' \
    -quality 95 "$E2E_TMP/photo.jpg"
focus_canvas
press_shortcut ctrl o
answer_file_dialog "Open Image..." "$E2E_TMP/photo.jpg"
wait_for 10 _geometry_is "$CANVAS" "0 0 640 400" || fail "canvas at $(window_geometry "$CANVAS"), not 0 0 640 400"
screenshot opened-jpeg.png
crop opened-jpeg.png 0 0 640 400 shown-jpeg.png
convert "$E2E_TMP/photo.jpg" "$E2E_TMP/photo.png"
expect_eq "pixels that differ from the JPEG" 0 \
    "$(diff_pixels_outside shown-jpeg.png photo.png "$tx" "$ty" "$tw" "$th" 2)"
expect_eq "the screen beside the canvas" "0,0,0" "$(screen_pixel 700 200)"
wait_for 5 app_window_named Toolbox || fail "no toolbox after opening"

section "the tray menu's Open shows a GIF at the top-left corner at its size"
convert -size 300x500 xc:'#d0d030' -fill '#3030d0' -draw 'rectangle 150,200 299,499' "$E2E_TMP/picture.gif"
click_window "$(tray_icons_of_pid "$SCRAWLIX_PID" | head -n 1)" 3
nap 0.5
xdotool key Down Down Down Down Return # Capture Screen, Capture Window, Show Toolbox, Open
answer_file_dialog "Open Image..." "$E2E_TMP/picture.gif"
wait_for 10 _geometry_is "$CANVAS" "0 0 300 500" || fail "canvas at $(window_geometry "$CANVAS"), not 0 0 300 500"
screenshot opened-gif.png
crop opened-gif.png 0 0 300 500 shown-gif.png
expect_eq "pixels that differ from the GIF" 0 \
    "$(diff_pixels_outside shown-gif.png picture.gif "$tx" "$ty" "$tw" "$th")"
expect_eq "the screen below the canvas" "0,0,0" "$(screen_pixel 100 520)"

stop_scrawlix || fail "TERM did not end the program"
