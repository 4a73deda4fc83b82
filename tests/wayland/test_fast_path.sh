#!/usr/bin/env bash
# On a wlroots compositor the screen is read through screencopy, straight from the compositor: the
# portal is never asked, and the canvas shows the native window pixel for pixel, at every capture.
source "$(dirname "$0")/lib.sh"

start_pattern
portal_watch
start_in_tray_wl() { start_scrawlix_settled; wait_tray_item; }
start_in_tray_wl

section "captures read the screen through screencopy, not through the portal"
screenshot before.png
for i in 1 2 3; do
    double_click_tray
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
    screenshot "shown$i.png"
    expect_same_screen before.png "shown$i.png"
    click_toolbox totray
    wait_for 5 eval 'canvas_hidden && toolbox_hidden' || fail "send to tray left windows on screen"
done
[ "$(pixel shown1.png 200 300)" = "0,255,0" ] || fail "the green stripe is $(pixel shown1.png 200 300) on the canvas"
expect_eq "calls to the portal's Screenshot" 0 "$(portal_screenshots)"
grep -q 'read through wlr-screencopy' "$SCRAWLIX_LOG" || fail "the log does not name screencopy"
[ ! -e "$HOME/Pictures" ] || [ -z "$(ls -A "$HOME/Pictures")" ] || fail "a picture file was left behind"
stop_scrawlix || fail "TERM did not end the program"
