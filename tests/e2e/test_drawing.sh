#!/usr/bin/env bash
# Drawing on the frozen screen as a user does: a pen drag leaves a joined stroke in the palette colour,
# the highlighter turns white into its colour and keeps dark pixels dark, and a typed text label shows
# on the canvas once Shift+Enter finishes it, with the pen chosen again.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"

# capture_desktop: the noisy desktop with a white window at (wx, wy), frozen into the canvas; the
# canvas as it came up in canvas.png.
capture_desktop() {
    noisy_desktop
    convert -size 300x200 xc:white "$E2E_TMP/white.png"
    display -title white -geometry +1200+200 "$E2E_TMP/white.png" &
    _e2e_pids+=($!)
    wait_for 10 eval '[ -n "$(xdotool search --onlyvisible --name ^white 2>/dev/null)" ]' || fail "no white window"
    read -r wx wy _ _ < <(window_geometry "$(xdotool search --onlyvisible --name '^white' | head -1)")
    start_scrawlix_settled
    hotkey_canvas
    screenshot canvas.png
}

t_pen() {
    section "a pen drag draws a joined stroke in yellow along its path"
    capture_desktop
    pointer_to 400 500
    xdotool mousedown 1
    for p in "450 520" "520 560" "600 600" "700 620" "820 600"; do
        # shellcheck disable=SC2086
        xdotool mousemove $p
        nap 0.03
    done
    xdotool mouseup 1
    settled_shot pen.png
    for p in "425 510" "485 540" "560 580" "650 610" "760 610" "820 600"; do
        # shellcheck disable=SC2086
        [ "$(pixel pen.png $p)" = "255,255,0" ] || fail "no yellow at ($p) on the stroke: $(pixel pen.png $p)"
    done
    [ "$(pixel pen.png 400 650)" != "255,255,0" ] || fail "yellow away from the stroke"
}

t_highlighter() {
    section "the highlighter ANDs yellow into the picture"
    capture_desktop
    pick_tool 6
    drag $((wx + 30)) $((wy + 100)) $((wx + 270)) $((wy + 100)) 40
    settled_shot highlight.png
    [ "$(pixel highlight.png $((wx + 150)) $((wy + 100)))" = "255,255,0" ] ||
        fail "white under the highlighter is $(pixel highlight.png $((wx + 150)) $((wy + 100)))"
    [ "$(pixel highlight.png $((wx + 150)) $((wy + 140)))" = "255,255,255" ] || fail "the highlighter spread too far"
    # On the grey noise beside the window, blue goes and red and green stay.
    drag 300 900 500 900 40
    settled_shot highlight2.png
    for x in 350 400 450; do
        IFS=, read -r r g b < <(pixel highlight2.png $x 900)
        IFS=, read -r r0 g0 b0 < <(pixel canvas.png $x 900)
        [ "$r,$g,$b" = "$r0,$g0,0" ] || fail "grey ($r0,$g0,$b0) highlighted as ($r,$g,$b) at $x"
    done
}

t_text() {
    section "a text label: typed, finished with Shift+Enter, then the pen again"
    capture_desktop
    pick_tool 6 # the highlighter, so that the pen afterwards is the pen chosen again, not the tool before
    pick_tool 5
    click_at 700 300
    # The entry box opens above and left of the click; then typing reaches it.
    wait_for 5 eval '[ "$(screen_pixel 613 265)" != "$(pixel canvas.png 613 265)" ]' || fail "no text entry box"
    xdotool type --delay 40 "Hello"
    xdotool key shift+Return
    settled_shot text.png
    inked=$(count_color text.png 700 300 120 40 255,255,0)
    [ "$inked" -gt 20 ] || fail "no yellow text at the label's place ($inked pixels)"
    drag 200 200 400 200
    settled_shot after-text.png
    [ "$(pixel after-text.png 300 200)" = "255,255,0" ] || fail "the pen was not chosen again after Shift+Enter"
}

run_section "$@"
