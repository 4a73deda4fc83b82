# shellcheck shell=bash
# Helpers for scenarios that capture the screen and draw on the canvas. Source after lib.sh.

# noisy_desktop: gives the root window a pattern in which every pixel differs from its neighbours,
# so an image shifted or scaled by a single pixel shows.
noisy_desktop() {
    convert -size 1920x1080 -seed 7 xc:gray +noise Random -alpha off -depth 8 -type TrueColor \
        "PNG24:$E2E_TMP/desktop.png"
    # display reports failure even when it has set the background.
    display -window root "$E2E_TMP/desktop.png" || true
}

# top_frame WIN: the window manager's frame around WIN (its ancestor just below the root), or WIN.
top_frame() {
    local w=$1 p root
    root=$(xwininfo -root | awk '/Window id:/ { print $4; exit }')
    while :; do
        p=$(window_parent "$w")
        { [ -z "$p" ] || [ "$((p))" = "$((root))" ]; } && break
        w=$p
    done
    echo "$w"
}

# canvas_window / toolbox_window: the program's viewable canvas and toolbox, if any.
canvas_window() { xdotool search --all --onlyvisible --pid "$SCRAWLIX_PID" --name '^Scrawlix$' 2>/dev/null | while read -r w; do in_tray "$w" || echo "$w"; done | head -1; }
toolbox_window() { xdotool search --all --onlyvisible --pid "$SCRAWLIX_PID" --name '^Toolbox$' 2>/dev/null | head -1; }
canvas_shown() { [ -n "$(canvas_window)" ]; }
toolbox_shown() { [ -n "$(toolbox_window)" ]; }
canvas_and_toolbox_shown() { canvas_shown && toolbox_shown; }
canvas_hidden() { ! canvas_shown; }
toolbox_hidden() { ! toolbox_shown; }

# canvas_geometry_is X Y W H
canvas_geometry_is() { [ "$(window_geometry "$(canvas_window)" 2>/dev/null)" = "$*" ]; }

# wait_canvas [X Y W H]: the canvas and the toolbox are on screen (at that place) and painted.
wait_canvas() {
    wait_for 10 canvas_and_toolbox_shown || fail "the canvas and toolbox did not appear"
    if [ $# -eq 4 ]; then
        wait_for 5 canvas_geometry_is "$@" ||
            fail "the canvas is at $(window_geometry "$(canvas_window)"), not $*"
    fi
    settle_screen
}

# settle_screen: waits until two screenshots in a row agree, so painting has finished.
settle_screen() {
    local a=$E2E_TMP/settle-a.ppm b=$E2E_TMP/settle-b.ppm i
    import -window root "$a"
    for i in $(seq 1 40); do
        nap 0.1
        import -window root "$b"
        [ "$(diff_pixels "$a" "$b")" = 0 ] && return 0
        mv "$b" "$a"
    done
    fail "the screen kept changing"
}

# frame_rect WIN: "X Y W H" of the window manager's frame around WIN.
frame_rect() { window_geometry "$(top_frame "$1")"; }

# toolbox_button NAME: "X Y" of the middle of a toolbox command button, from its place in the
# toolbox (in twips at 15 per pixel).
toolbox_button() {
    local x y w h left top
    read -r x y w h < <(window_geometry "$(toolbox_window)") || fail "no toolbox"
    case $1 in
        copy) left=0 top=3960 ;; print) left=360 top=3960 ;; save) left=720 top=3960 ;;
        load) left=1080 top=3960 ;; erase) left=1440 top=3960 ;;
        capturescreen) left=0 top=4680 ;; capturewindow) left=360 top=4680 ;;
        about) left=1080 top=4680 ;; options) left=1440 top=4680 ;; help) left=1800 top=4680 ;;
        hide) left=1080 top=5040 ;; totray) left=1440 top=5040 ;; exit) left=1800 top=5040 ;;
        *) fail "toolbox_button: no button $1" ;;
    esac
    echo $((x + left / 15 + 12)) $((y + top / 15 + 12))
}

click_at() { # X Y [BUTTON]
    pointer_to "$1" "$2"
    xdotool click "${3:-1}"
}

click_toolbox() { click_at $(toolbox_button "$1"); }

# drag X1 Y1 X2 Y2 [STEPS]: a left-button drag through STEPS intermediate points.
drag() {
    local steps=${5:-8} i
    pointer_to "$1" "$2"
    xdotool mousedown 1
    for i in $(seq 1 "$steps"); do
        xdotool mousemove $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
        nap 0.02
    done
    xdotool mouseup 1
}

# tray_icon: the program's icon in the tray panel.
tray_icon() { tray_icons_of_pid "$SCRAWLIX_PID" | head -1; }

# tray_menu KEYS...: opens the tray icon's menu and types the keys into it.
tray_menu() {
    local icon
    icon=$(tray_icon)
    [ -n "$icon" ] || fail "no tray icon"
    click_window "$icon" 3
    wait_for 5 menu_shown || fail "the tray menu did not open"
    xdotool key --delay 60 "$@"
}

# The popup menu: a viewable override-redirect window of the program's.
menu_shown() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$SCRAWLIX_PID" 2>/dev/null); do
        xwininfo -id "$w" -wm 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

# same_region A AX AY B BX BY W H: the W x H region at (AX, AY) of A equals the one at (BX, BY) of B.
same_region() {
    local d
    d=$(_count_differences 0 \( "$(_artefact "$1")" -crop "${7}x${8}+$2+$3" +repage \) \
        \( "$(_artefact "$4")" -crop "${7}x${8}+$5+$6" +repage \))
    [ "$d" = 0 ] || {
        echo "same_region: $d pixels differ" >&2
        return 1
    }
}

# toolbox_tool INDEX: "X Y" of the middle of button INDEX (1 Pen .. 6 Highlighter) of the tool bar.
toolbox_tool() {
    local x y w h
    read -r x y w h < <(window_geometry "$(toolbox_window)") || fail "no toolbox"
    echo $((x + ($1 - 1) * 23 + 11)) $((y + 2880 / 15 + 11))
}

pick_tool() { click_at $(toolbox_tool "$1"); }
