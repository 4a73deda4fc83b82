#!/usr/bin/env bash
# A Wayland session without the desktop portal: the tray says once that screenshots fall back to what
# XWayland can see, and the capture still works, showing the X side of the screen.
source "$(dirname "$0")/lib.sh"

start_pattern
start_scrawlix_settled
wait_tray_item

section "a capture without the portal falls back to the X server, and says so once"
double_click_tray
wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
wait_for 10 standin_saw 'Notify.*screenshot service' || fail "no notification about the missing portal: $(cat "$STANDIN_LOG")"
screenshot shown.png
# The X server cannot see the native window: its green stripe is not on the canvas.
[ "$(pixel shown.png 200 300)" != "0,255,0" ] || fail "the canvas shows the native window without the portal"
click_toolbox totray
wait_for 5 eval 'canvas_hidden && toolbox_hidden' || fail "send to tray left windows on screen"
double_click_tray
wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
expect_eq "notifications about the portal" 1 "$(standin_count 'Notify.*screenshot service')"
stop_scrawlix || fail "TERM did not end the program"
