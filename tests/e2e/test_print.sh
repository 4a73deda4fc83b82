#!/usr/bin/env bash
# Printing with the real program through a real CUPS server (a private cupsd, see cups.sh) to a cups-pdf
# printer: Ctrl+P prints one page, landscape or portrait after the picture, the picture filling the
# printable area's width or height from its top-left corner; Cancel in the printer dialog still prints;
# with no printer at all the "Error" box says so and no dialog opens.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/imaging.sh"
source "$(dirname "$0")/dialogs_lib.sh"
source "$(dirname "$0")/cups.sh"

# The printer's unprintable border in points, LEFT BOTTOM RIGHT TOP of the upright sheet: unequal
# sides show whether the picture starts at the printable area's corner, on the sheet turned either way.
read -r bl bb br bt <<<"18 54 30 40"

# check_page PICTURE_W PICTURE_H ORIENTATION: the newest PDF is one A4 page holding one image of the
# snapshot's size (the canvas less its frame), scaled into the printable area at its top-left corner.
# Rendered at 72 dpi, one pixel a point. A landscape page reaches the sheet turned a quarter turn
# anticlockwise, so the picture's top-left corner (marked red) lies at the sheet's bottom-left, and
# the page's margins are the sheet's border turned with it.
check_page() {
    local pdf pw=$(($1 - 2)) ph=$(($2 - 2)) aw=$((595 - bl - br)) ah=$((842 - bt - bb)) ow oh want got i
    pdf=$(cups_pdfs | tail -n 1)
    expect_eq "pages" 1 "$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')"
    expect_eq "images on the page, at the snapshot's size" "$pw $ph" \
        "$(pdfimages -list "$pdf" | awk 'NR > 2 { print $4, $5 }')"
    [ "$3" = portrait ] || read -r aw ah <<<"$ah $aw"
    if [ $((pw * ah)) -ge $((ph * aw)) ]; then ow=$aw oh=$((aw * ph / pw)); else oh=$ah ow=$((ah * pw / ph)); fi
    # LEFT TOP RIGHT BOTTOM on the sheet of the picture, then of its red corner; "-": anything.
    if [ "$3" = portrait ]; then want="$bl $bt $((bl + ow)) $((bt + oh)) $bl $bt - -"
    else want="$bl $((842 - bb - ow)) $((bl + oh)) $((842 - bb)) $bl - - $((842 - bb))"; fi
    pdftoppm -r 72 -png -singlefile "$pdf" "$E2E_TMP/page"
    got=$(convert "$E2E_TMP/page.png" \
        \( +clone -fuzz 20% -fill black +opaque '#e02020' -fill white -opaque '#e02020' \) \
        -fuzz 10% -trim -format '%[fx:page.x] %[fx:page.y] %[fx:page.x+w] %[fx:page.y+h] ' info:)
    read -ra want_ <<<"$want"
    read -ra got_ <<<"$got"
    for i in "${!want_[@]}"; do # within 2 points
        [ "${want_[i]}" = - ] || [ $(((want_[i] - got_[i]) ** 2)) -le 4 ] || fail "$3 page: found $got, expected $want"
    done
}

# print_picture W H COLOUR KEY: with the PDF printer, a W x H picture of COLOUR with a red mark in its
# top-left corner (larger than the toolbox) opened on the canvas, then Ctrl+P and KEY in the dialog.
print_picture() {
    cups_start
    cups_add_pdf_printer PDF "$bl $bb $br $bt"
    convert -size "$1x$2" "xc:$3" -fill '#e02020' -draw 'rectangle 0,0 39,39' "$E2E_TMP/picture.bmp"
    start_scrawlix_settled
    capture_screen
    open_file "$E2E_TMP/picture.bmp"
    press_shortcut ctrl p
    answer_dialog "Print Image..." "$4"
    wait_for_pdf 1
}

t_no_printer() {
    section "no printer at all: the Error box, and no dialog"
    cups_start
    [ -z "$(lpstat -e 2>/dev/null)" ] || fail "the private server has printers: $(lpstat -e)"
    start_scrawlix_settled
    capture_screen
    press_shortcut ctrl p
    answer_dialog Error Return
    holds_for 1 no_window_named "Print Image..." || fail "the printer dialog opened without a printer"
    scrawlix_running || fail "the program ended"
}

t_landscape() {
    section "Ctrl+P prints a landscape picture on one page"
    print_picture 800 600 '#2040a0' Return
    check_page 800 600 landscape
}

t_cancel() {
    section "Cancel in the printer dialog still prints; a portrait picture prints in portrait"
    print_picture 600 800 '#20a040' Escape
    check_page 600 800 portrait
    # A second end of the document would print within two seconds.
    holds_for 2 eval '[ "$(lpstat -W completed -o | wc -l)" = 1 ]' ||
        fail "jobs completed: $(lpstat -W completed -o | wc -l), not the one print"
}

run_section "$@"
