#!/usr/bin/env bash
# Printing with the real program through a real CUPS server (a private cupsd, see cups.sh) to a cups-pdf
# printer: Ctrl+P prints one page, landscape or portrait after the picture, the picture filling the
# printable area's width or height from its top-left corner; Cancel in the printer dialog still prints;
# with no printer at all a message says so and no dialog opens.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/imaging.sh"
source "$(dirname "$0")/cups.sh"

# The printer's unprintable border, in points on every side of the sheet. cups-pdf itself has none; a
# border shows whether the picture starts at the printable area's corner rather than the sheet's.
border=36

# print_with KEY: Ctrl+P on the canvas, then KEY (Return prints, Escape cancels) in the printer dialog.
print_with() {
    local dlg
    focus_canvas
    press_shortcut ctrl p
    dlg=$(wait_app_window "Print Image..." 20)
    screenshot "print-dialog.png"
    # shellcheck disable=SC2016 # expanded by eval, each time wait_for tries
    wait_for 5 eval '[ "$(xdotool getwindowfocus)" = "$((dlg))" ]' || xdotool windowactivate "$dlg"
    xdotool key "$1"
    wait_window_gone "$dlg"
}

# open_picture FILE: Ctrl+O, then the file; waits for the canvas at (0, 0) with the picture's size.
open_picture() {
    local w h
    read -r w h < <(image_size "$1")
    focus_canvas
    press_shortcut ctrl o
    answer_file_dialog "Open Image..." "$1"
    wait_for 10 _geometry_is "$CANVAS" "0 0 $w $h" || fail "canvas at $(window_geometry "$CANVAS"), not 0 0 $w $h"
    nap 0.3
}

# check_page PDF PICTURE_W PICTURE_H ORIENTATION: one A4 page holding one image of the snapshot's size
# (the canvas less its frame), scaled to the printable area and placed at its top-left corner. The page
# is rendered at 72 dpi, one pixel a point. A landscape page reaches the sheet turned a quarter turn
# anticlockwise, so the picture's top-left corner (marked red) lies at the sheet's bottom-left.
check_page() {
    local pdf=$1 pw=$(($2 - 2)) ph=$(($3 - 2)) orientation=$4
    local pages size images aw ah ow oh bx by bw bh rx ry
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
    expect_eq "pages in $pdf" 1 "$pages"
    size=$(pdfinfo "$pdf" | awk '/^Page size:/ { print $3, $5 }')
    expect_eq "sheet size (A4 portrait; the printer turns landscape pages)" "595 842" "$size"
    images=$(pdfimages -list "$pdf" | awk 'NR > 2 { print $4, $5 }')
    expect_eq "images on the page, at the snapshot's size" "$pw $ph" "$images"

    # The printable area in the page's own orientation, and the picture scaled into it.
    if [ "$orientation" = landscape ]; then aw=$((842 - 2 * border)) ah=$((595 - 2 * border)); else
        aw=$((595 - 2 * border)) ah=$((842 - 2 * border)); fi
    if [ $((pw * ah)) -ge $((ph * aw)) ]; then ow=$aw oh=$((aw * ph / pw)); else oh=$ah ow=$((ah * pw / ph)); fi

    pdftoppm -r 72 -png -singlefile "$pdf" "$E2E_TMP/page-$orientation"
    read -r bw bh bx by < <(convert "$E2E_TMP/page-$orientation.png" -fuzz 10% -trim -format '%w %h %X %Y\n' info: | tr -d +)
    # The red corner mark's centre.
    read -r rx ry < <(convert "$E2E_TMP/page-$orientation.png" -fuzz 20% -fill black +opaque '#e02020' \
        -fill white -opaque '#e02020' -trim -format '%[fx:page.x+w/2] %[fx:page.y+h/2]\n' info: | tr -d +)
    near() { [ $(($1 - $2)) -le 2 ] && [ $(($2 - $1)) -le 2 ]; }
    if [ "$orientation" = landscape ]; then
        { near "$bw" "$oh" && near "$bh" "$ow"; } || fail "landscape picture is ${bw}x$bh on the sheet, expected ${oh}x$ow"
        { near "$bx" "$border" && near $((by + bh)) $((842 - border)); } ||
            fail "landscape picture at +$bx+$by, expected its corner at the printable area's ($border, $((842 - border)))"
        { [ "${rx%.*}" -lt $((bx + bw / 4)) ] && [ "${ry%.*}" -gt $((by + bh * 3 / 4)) ]; } ||
            fail "the picture's top-left corner is at ($rx, $ry), not at the sheet's bottom-left"
    else
        { near "$bw" "$ow" && near "$bh" "$oh"; } || fail "portrait picture is ${bw}x$bh on the sheet, expected ${ow}x$oh"
        { near "$bx" "$border" && near "$by" "$border"; } ||
            fail "portrait picture at +$bx+$by, expected the printable area's corner ($border, $border)"
        { [ "${rx%.*}" -lt $((bx + bw / 4)) ] && [ "${ry%.*}" -lt $((by + bh / 4)) ]; } ||
            fail "the picture's top-left corner is at ($rx, $ry), not at the sheet's top-left"
    fi
}

# Pictures with a red mark in the top-left corner, larger than the toolbox.
convert -size 800x600 xc:'#2040a0' -fill '#e02020' -draw 'rectangle 0,0 39,39' "$E2E_TMP/wide.bmp"
convert -size 600x800 xc:'#20a040' -fill '#e02020' -draw 'rectangle 0,0 39,39' "$E2E_TMP/tall.bmp"

section "no printer at all: a message, and no dialog"
cups_start empty
[ -z "$(lpstat -e 2>/dev/null)" ] || fail "the private server has printers: $(lpstat -e)"
start_scrawlix_settled
capture_screen
focus_canvas
press_shortcut ctrl p
wait_for 10 message_box_named Error || fail "no message box titled Error"
app_window_named "Print Image..." && fail "the printer dialog opened without a printer"
dismiss_message_box Error
scrawlix_running || fail "the program ended"
stop_scrawlix || fail "TERM did not end the program"

section "Ctrl+P prints a landscape picture on one page"
cups_start pdf
cups_add_pdf_printer PDF "$border $border $border $border"
start_scrawlix_settled
capture_screen
open_picture "$E2E_TMP/wide.bmp"
print_with Return
wait_for_pdf 1
check_page "$(cups_pdfs | tail -n 1)" 800 600 landscape

section "Cancel in the printer dialog still prints; a portrait picture prints in portrait"
open_picture "$E2E_TMP/tall.bmp"
print_with Escape
wait_for_pdf 2
check_page "$(cups_pdfs | grep -vxF "$(cups_pdfs | head -n 1)")" 600 800 portrait

section "each print was one job: the second end of the document printed nothing"
nap 2
expect_eq "PDFs written" 2 "$(cups_pdfs | wc -l)"
expect_eq "jobs completed" 2 "$(lpstat -W completed -o | wc -l)"
stop_scrawlix || fail "TERM did not end the program"
