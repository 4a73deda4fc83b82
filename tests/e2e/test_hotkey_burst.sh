#!/usr/bin/env bash
# Twenty hot-key presses within a second: requests that arrive while a capture waits join it, so
# the toolbox never ends up in the picture, and the canvas at the end shows the screen as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"

noisy_desktop
start_in_tray

section "twenty presses in one second"
screenshot before.png
keys=()
for _ in {1..20}; do keys+=(super+v); done
xdotool key --clearmodifiers --delay 50 "${keys[@]}"
wait_canvas 0 0 1920 1080
# The last request's capture may still be waiting; the canvas must stay put for a while.
holds_for 2 eval '! canvas_hidden && toolbox_shown' || fail "the canvas did not stay on the screen"
settle_screen
expect_as_before

stop_scrawlix || fail "TERM did not end the program"
