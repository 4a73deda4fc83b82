#!/usr/bin/env bash
# A scaled desktop (the session's SCRAWLIX_E2E_DPI, or SCRAWLIX_E2E_QT_SCALE): everything in device
# pixels, and the toolbox grows with the scale.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"

noisy_desktop

t_canvas() {
    section "Super+V shows the whole screen, pixel for pixel"
    capture_noisy
    expect_as_before
    section "the toolbox follows the desktop's scale"
    # Its height, exactly; its width, or a little more where the frame needs it for the title.
    read -r _ _ w h < <(window_geometry "$(toolbox_window)")
    expect_eq "toolbox height at $E2E_SCALED_DPI dpi" "$(twips 5535)" "$h"
    ((w >= $(twips 2175) && w <= $(twips 2175) * 5 / 4)) ||
        fail "toolbox width at $E2E_SCALED_DPI dpi: $w, expected $(twips 2175) or a little more"
    section "copy: the canvas minus its one-pixel frame, in device pixels"
    copy_canvas clip.png
    expect_eq "clipboard image size" 1918x1078 "$(identify -format '%wx%h' "$E2E_TMP/clip.png")"
    same_region clip.png 600 0 before.png 601 1 1300 1078 || fail "the clipboard image is not the canvas"
    section "hide, then the hot key: the kept canvas comes back in its place, at its size"
    send_to_tray hide
    press_hotkey v
    wait_canvas 0 0 1918 1078
}

t_window_capture() {
    section "a window capture sits over the window, one pixel up and left"
    start_in_tray
    target_window 400 300 601 301
    capture_target v check
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
