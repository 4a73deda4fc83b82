#!/usr/bin/env bash
# Two monitors of different sizes, the primary on the right (the session's SCRAWLIX_E2E_MONITORS):
# captures, the canvas, copies, the toolbox and opened images keep to the right monitor.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"

# The primary monitor, from the session's list: px py pw ph.
for m in ${SCRAWLIX_E2E_MONITORS:?run with SCRAWLIX_E2E_MONITORS}; do
    [[ $m =~ ^\*([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] &&
        read -r pw ph px py <<<"${BASH_REMATCH[*]:1}"
done
[ -n "${ph:-}" ] || fail "no primary monitor in SCRAWLIX_E2E_MONITORS"

noisy_desktop

t_canvas() {
    section "Super+V: the canvas covers the primary monitor and shows its pixels"
    capture_noisy "$px" "$py" "$pw" "$ph"
    expect_as_before
    section "the toolbox first appears on the primary monitor"
    ((px <= tx && tx + tw <= px + pw && py <= ty && ty + th <= py + ph)) ||
        fail "the toolbox is at $tx $ty ${tw}x$th, off the primary monitor $px $py ${pw}x$ph"
    section "copy: the primary monitor minus the canvas's one-pixel frame"
    copy_canvas clip.png
    expect_eq "clipboard image size" "$((pw - 2))x$((ph - 2))" "$(identify -format '%wx%h' "$E2E_TMP/clip.png")"
    x0=$((tx + tw - px)) # right of the toolbox, which the copy leaves out
    same_region clip.png "$x0" 0 before.png $((px + 1 + x0)) $((py + 1)) $((pw - 2 - x0)) $((ph - 2)) ||
        fail "the clipboard image is not the primary monitor"
}

t_other_monitor() {
    section "a window on the other monitor: the canvas sits over it"
    start_in_tray
    target_window 300 200 200 300
    xdotool windowmove --sync "$TARGET" 200 300 || true
    xdotool windowactivate --sync "$TARGET"
    capture_target v check
    ((fx + fw <= px)) || fail "the test window is not on the other monitor: $fx $fy ${fw}x$fh"
    send_to_tray
    section "scrawlix --open: the image at the primary monitor's top-left corner"
    convert -size 300x200 xc:'#30d030' "BMP3:$E2E_TMP/green.bmp"
    timeout 20 "$SCRAWLIX_BIN" --open "$E2E_TMP/green.bmp" || fail "--open failed"
    wait_canvas "$px" "$py" 300 200
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
