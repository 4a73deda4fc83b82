# shellcheck shell=bash
# Helpers for scenarios that capture the screen and draw on the canvas. Source after lib.sh.

# The desktop's scale as the program sees it: dots per inch, and twips (15 a pixel at 96 dpi) to
# pixels, as the toolbox is laid out.
E2E_SCALED_DPI=$(awk "BEGIN { print int(${SCRAWLIX_E2E_DPI:-96} * ${SCRAWLIX_E2E_QT_SCALE:-1} + 0.5) }")
twips() { awk "BEGIN { printf \"%.0f\", $1 * $E2E_SCALED_DPI / 1440 }"; } # halves to even
scaled() { echo $(($1 * E2E_SCALED_DPI / 96)); } # pixels at 96 dpi, on this desktop


# noisy_desktop: a root window in which every pixel differs from its neighbours, so that an image
# shifted or scaled by a single pixel shows.
noisy_desktop() {
    local w h
    read -r w h < <(screen_size)
    # PPM: compressing noise as PNG costs seconds on a busy machine, at every section's start.
    convert -size "${w}x$h" -seed 7 xc:gray +noise Random -alpha off -depth 8 -type TrueColor \
        "PPM:$E2E_TMP/desktop.ppm"
    display -window root "$E2E_TMP/desktop.ppm" || true # reports failure even when it worked
}

# canvas_window / toolbox_window: the program's viewable canvas and toolbox, if any.
canvas_window() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$SCRAWLIX_PID" --name '^Scrawlix$' 2>/dev/null || true); do
        in_tray "$w" || { echo "$w"; return 0; }
    done
}
toolbox_window() { xdotool search --all --onlyvisible --pid "$SCRAWLIX_PID" --name '^Toolbox$' 2>/dev/null | head -1; }
toolbox_shown() { [ -n "$(toolbox_window)" ]; }
canvas_hidden() { [ -z "$(canvas_window)" ]; }
toolbox_hidden() { ! toolbox_shown; }

# wait_canvas [X Y W H]: the canvas and the toolbox are on screen (at that place) and painted.
wait_canvas() {
    wait_for 10 eval '! canvas_hidden && toolbox_shown' ||
        fail "the canvas and toolbox did not appear: $(program_windows)"
    [ $# -ne 4 ] || wait_for 5 canvas_geometry_is "$@" ||
        fail "the canvas is at $(window_geometry "$(canvas_window)"), not $*"
    settle_screen
}
canvas_geometry_is() { [ "$(window_geometry "$(canvas_window)")" = "$*" ]; }

# settle_screen [X Y W H]: waits until two screenshots in a row (of that part) agree, so painting
# has finished. The two are PPM files of one size, so they agree when their bytes do.
# shellcheck disable=SC2120 # title_bar (dialogs_lib.sh) passes a part
settle_screen() {
    local a=$E2E_TMP/settle-a.ppm b=$E2E_TMP/settle-b.ppm i
    screenshot "$a" "$@"
    for i in {1..40}; do
        nap 0.1
        screenshot "$b" "$@"
        cmp -s "$a" "$b" && return 0
        mv "$b" "$a"
    done
    fail "the screen kept changing"
}

# settled_shot FILE: a screenshot once painting has finished.
settled_shot() { settle_screen; screenshot "$1"; }

# frame_rect WIN: "X Y W H" of the window manager's frame around WIN (its ancestor below the root).
frame_rect() {
    local w=$1 p root
    root=$(xwininfo -root | awk '/Window id:/ { print $4; exit }')
    while p=$(window_parent "$w") && [ -n "$p" ] && [ "$((p))" != "$((root))" ]; do w=$p; done
    window_geometry "$w"
}

click_at() { pointer_to "$1" "$2"; xdotool click "${3:-1}"; } # X Y [BUTTON]

# click_toolbox NAME: clicks a toolbox command button, placed in twips in the toolbox.
click_toolbox() {
    local x y at
    read -r x y _ < <(window_geometry "$(toolbox_window)") || fail "no toolbox"
    case $1 in
        copy) at="0 3960" ;; hide) at="1080 5040" ;; totray) at="1440 5040" ;; config) at="1440 4680" ;;
        *) fail "click_toolbox: no button $1" ;;
    esac
    click_at $((x + $(twips "${at% *}") + $(scaled 12))) $((y + $(twips "${at#* }") + $(scaled 12)))
}

# pick_tool INDEX: clicks button INDEX (1 Pen .. 6 Highlighter) of the toolbox's tool bar.
pick_tool() {
    local x y
    read -r x y _ < <(window_geometry "$(toolbox_window)") || fail "no toolbox"
    click_at $((x + $(scaled $((($1 - 1) * 23 + 11))))) $((y + $(twips 2880) + $(scaled 11)))
}

# drag X1 Y1 X2 Y2 [STEPS]: a left-button drag through STEPS intermediate points.
drag() {
    local steps=${5:-8} i
    pointer_to "$1" "$2"
    xdotool mousedown 1
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
        nap 0.02
    done
    xdotool mouseup 1
}

# same_region A AX AY B BX BY W H: the W x H region at (AX, AY) of A equals the one at (BX, BY) of B.
same_region() {
    local d
    d=$(_count_differences 0 \( "$(_artefact "$1")" -crop "${7}x${8}+$2+$3" +repage \) \
        \( "$(_artefact "$4")" -crop "${7}x${8}+$5+$6" +repage \))
    [ "$d" = 0 ] || { echo "same_region: $d pixels differ" >&2; return 1; }
}

# target_window W H X Y [FILL]: a window titled "target" showing W x H of noise (or of colour FILL)
# at +X+Y, made active; its id in TARGET.
target_window() {
    local fill=(-seed 3 xc:gray +noise Random)
    [ -z "${5:-}" ] || fill=("xc:$5")
    convert -size "$1x$2" "${fill[@]}" -alpha off -depth 8 -type TrueColor "PNG24:$E2E_TMP/win.png"
    display -title target -geometry "+$3+$4" "$E2E_TMP/win.png" &
    _e2e_pids+=($!)
    wait_for 10 eval '[ -n "$(xdotool search --onlyvisible --name ^target 2>/dev/null)" ]' || fail "no test window"
    TARGET=$(xdotool search --onlyvisible --name '^target' | head -1)
    xdotool windowactivate --sync "$TARGET"
}

# target_captured CHECK CMD [ARG...]: CMD captures the target window: the canvas sits one pixel up
# and left of the window's frame (fx fy fw fh) and, with CHECK "check", shows the window's pixels.
target_captured() {
    settle_screen
    [ "$1" != check ] || screenshot window-before.png
    read -r fx fy fw fh < <(frame_rect "$TARGET")
    "${@:2}"
    wait_canvas $((fx - 1)) $((fy - 1)) "$fw" "$fh"
    [ "$1" = check ] || return 0
    screenshot window-shown.png
    same_region window-shown.png $((fx - 1)) $((fy - 1)) window-before.png "$fx" "$fy" "$fw" "$fh" ||
        fail "the canvas does not show the window's pixels"
}

# capture_target LETTER [check]: Ctrl tapped, then the hot key with LETTER (see target_captured).
capture_target() { target_captured "${2:-}" _ctrl_then_hotkey "$1"; }
_ctrl_then_hotkey() { xdotool key ctrl; press_hotkey "$1"; }

# send_to_tray [hide]: the toolbox's Send to Tray (or Hide); the canvas and the toolbox leave the screen.
send_to_tray() {
    click_toolbox "${1:-totray}"
    wait_for 5 eval 'canvas_hidden && toolbox_hidden' || fail "${1:-send to tray} left windows on screen: $(program_windows)"
}

# copy_canvas [FILE]: the toolbox's Copy; an image reaches the clipboard (saved to FILE, if given)
# and the toolbox comes back.
copy_canvas() {
    click_toolbox copy
    wait_for 5 eval 'clipboard_targets | grep -q image/png' || fail "no image on the clipboard"
    wait_for 5 toolbox_shown || fail "the toolbox did not come back after the copy"
    [ -z "${1:-}" ] || clipboard_image "$1"
}

# expect_as_before: a screenshot (shown.png) matches before.png everywhere but under the toolbox,
# whose frame it leaves in tx ty tw th.
expect_as_before() {
    screenshot shown.png
    read -r tx ty tw th < <(frame_rect "$(toolbox_window)")
    local n
    n=$(diff_pixels_outside before.png shown.png "$tx" "$ty" "$tw" "$th")
    [ "$n" = 0 ] || fail "$n pixels of the canvas differ from the screen before the capture"
}

# hotkey_canvas [LETTER]: the hot key (with V, or LETTER), then the canvas over the whole screen.
# shellcheck disable=SC2120 # the letter is optional
hotkey_canvas() { press_hotkey "${1:-v}"; wait_canvas 0 0 1920 1080; }

# capture_noisy [X Y W H]: the program in the tray, then Super+V: the canvas over the whole screen
# (or at X Y W H), the screen before it kept in before.png.
capture_noisy() {
    [ $# = 4 ] || set -- 0 0 1920 1080
    start_in_tray
    screenshot before.png
    press_hotkey v
    wait_canvas "$@"
}
