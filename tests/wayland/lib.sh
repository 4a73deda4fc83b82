# Helpers for the Wayland scenarios, which run inside tests/wayland/session.sh: the end-to-end helpers
# (the program's windows are X clients on XWayland, so xdotool and xclip reach them), with the screen
# read by grim, as the compositor shows it.
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/canvas_lib.sh"

# On KWin and GNOME Shell, which have no screencopy for grim, the screen comes from the compositor's
# own screenshot interface: KWin's, or GNOME Shell's through the stand-in, which holds the name that
# the shell lets read the screen.
if [ "${XDG_CURRENT_DESKTOP:-}" = GNOME ]; then
    grim() { # grim [-g "X,Y WxH"] [-t ppm|png] FILE|-
        local x=0 y=0 w=0 h=0 type=png shot
        [ "$1" != -g ] || { IFS=', x' read -r x y w h <<<"$2"; shift 2; }
        [ "$1" != -t ] || { type=$2; shift 2; }
        shot=$(mktemp --suffix=.png "$E2E_TMP/shot.XXXXXX")
        dbus-send --session --print-reply --reply-timeout=10000 --dest=org.freedesktop.impl.portal.desktop.scrawlixtest \
            /org/freedesktop/portal/desktop org.scrawlix.Test.Control.Shoot "string:$shot" \
            "int32:$x" "int32:$y" "int32:$w" "int32:$h" >/dev/null || { rm -f "$shot"; return 1; }
        convert "$shot" "$type:$1"
        rm -f "$shot"
    }
elif [ -z "${SWAYSOCK:-}" ]; then
    grim() { "$KWINSHOT_PYTHON" "$(dirname "${BASH_SOURCE[0]}")/kwinshot.py" "$@"; }
fi
screenshot() { grim ${2:+-g "$2,$3 $4x$5"} -t "${1##*.}" "$(_artefact "$1")"; } # FILE.png|ppm [X Y W H]
# The root window of XWayland holds no pixels: the failure screenshot comes from the compositor.
import() { if [ "$1 $2" = "-window root" ]; then grim "${@: -1}"; else command import "$@"; fi; }
screen_pixel() { grim -g "$1,$2 1x1" - | convert - -alpha off -format "$_rgb_format\n" info:; }

SCREEN_W=1280 SCREEN_H=720

# start_pattern: a native Wayland window of known content, tiled over the whole output.
start_pattern() {
    [ -x "${SCRAWLIX_PATTERN:-}" ] || fail "no pattern program at ${SCRAWLIX_PATTERN:-}"
    local how=()
    [ -n "${SWAYSOCK:-}" ] || how=(--maximized)
    [ "${XDG_CURRENT_DESKTOP:-}" = GNOME ] && how=(--fullscreen)
    QT_QPA_PLATFORM=wayland "$SCRAWLIX_PATTERN" "${how[@]}" >"$E2E_TMP/pattern.out" 2>&1 </dev/null {_e2e_nap_fd}<&- &
    _e2e_pids+=($!)
    wait_for 10 grep -q "shown ${SCREEN_W}x$SCREEN_H" "$E2E_TMP/pattern.out" ||
        fail "the pattern window did not fill the output: $(cat "$E2E_TMP/pattern.out")"
    settle_screen
}

# standin_saw PATTERN: the stand-in services logged a call matching the extended regular expression.
standin_saw() { grep -Eq "$1" "$STANDIN_LOG"; }
standin_count() { grep -Ec "$1" "$STANDIN_LOG" || :; }

# standin_control METHOD ARG: the stand-in's control interface; prints the number it answers.
standin_control() {
    dbus-send --session --print-reply --dest=org.freedesktop.impl.portal.desktop.scrawlixtest \
        /org/freedesktop/portal/desktop "org.scrawlix.Test.Control.$1" "$2" | awk '/uint32/ { print $2 }'
}
# press_shortcut_standin ID: the stand-in portal reports the bound shortcut as pressed.
press_shortcut_standin() {
    local n
    n=$(standin_control Activate "string:$1")
    [ "$n" = 1 ] || fail "the shortcut $1 is bound in $n sessions, not 1"
}

# expect_same_screen BEFORE AFTER: the canvas shows BEFORE pixel for pixel, away from the toolbox
# and, on GNOME Shell, from the title bar and the shadow that the shell draws around it.
expect_same_screen() {
    local tx ty tw th n m=0
    read -r tx ty tw th < <(window_geometry "$(toolbox_window)")
    [ "${XDG_CURRENT_DESKTOP:-}" = GNOME ] && m=64
    n=$(diff_pixels_outside "$1" "$2" $((tx - m)) $((ty - m)) $((tw + 2 * m)) $((th + 2 * m)))
    [ "$n" = 0 ] || fail "$n pixels of the canvas differ from the screen before the capture"
}

# capture_as_before CMD...: CMD captures, and the canvas (shown.png) shows the screen as it was
# (before.png) pixel for pixel, the pattern's green stripe included.
capture_as_before() {
    screenshot before.png
    "$@"
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
    screenshot shown.png
    expect_same_screen before.png shown.png
    [ "$(pixel shown.png 200 300)" = "0,255,0" ] || fail "the green stripe is $(pixel shown.png 200 300) on the canvas"
}
# scrawlix_cmd ARG...: the program's command line, which hands ARG to the running program.
scrawlix_cmd() { timeout 10 "$SCRAWLIX_BIN" "$@" </dev/null {_e2e_nap_fd}<&- || fail "scrawlix $* did not reach the program"; }

# XTEST clicks go to the window on top of the X server's own stacking, which XWayland keeps apart
# from what the compositor shows; activating the toolbox puts it on top of both.
eval "_x_click_toolbox() $(declare -f click_toolbox | tail -n +2)"
_toolbox_active() { [ "$(($(xdotool getactivewindow 2>/dev/null || echo 0)))" = "$(($(toolbox_window)))" ]; }
click_toolbox() {
    xdotool windowactivate "$(toolbox_window)" 2>/dev/null || :
    wait_for 5 _toolbox_active || fail "the toolbox does not take the focus"
    _x_click_toolbox "$@"
}

# On sway, what the compositor shows is asked of sway itself; elsewhere (KWin) the X server's view of
# the program's windows serves.
if [ -n "${SWAYSOCK:-}" ]; then
    # sway_shows TITLE [WIDTH]: sway shows a view of the program with this title (at least WIDTH wide).
    # (An X window can stay mapped a moment after the program hid it, when its map request was still
    # on its way to the compositor.) Without a TITLE: the program's views, for failure messages.
    sway_shows() {
        swaymsg -t get_tree | python3 -c '
import json, sys
a = sys.argv[1:]
def walk(n):
    if n.get("window_properties", {}).get("class") == "Scrawlix":
        r = n["rect"]
        if not a:
            print("<sway: %r %dx%d+%d+%d visible=%s fullscreen=%s>" % (n.get("name"), r["width"], r["height"], r["x"], r["y"], n.get("visible"), n.get("fullscreen_mode")), end=" ")
        elif n.get("name") == a[0] and n.get("visible") and r["width"] >= int((a + ["0"])[1]):
            sys.exit(0)
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))
sys.exit(1 if a else 0)' "$@"
    }
    toolbox_shown() { sway_shows Toolbox; }
    # For failure messages: the X windows, and the program's views as sway shows them.
    eval "_x_program_windows() $(declare -f program_windows | tail -n +2)"
    program_windows() { _x_program_windows; sway_shows 2>/dev/null; }
    # The canvas on the screen (a view titled Scrawlix as wide as the screen; a message box is narrower).
    canvas_shown() { sway_shows Scrawlix "$SCREEN_W"; }
    canvas_hidden() { ! canvas_shown; }
else
    # The canvas: a window of the program titled Scrawlix as wide as the screen (a message box has
    # the same title, and is narrower).
    canvas_shown() {
        local w g
        for w in $(xdotool search --all --onlyvisible --pid "$SCRAWLIX_PID" --name '^Scrawlix$' 2>/dev/null || :); do
            read -r _ _ g _ < <(window_geometry "$w" 2>/dev/null) || continue
            [ "${g:-0}" -ge "$SCREEN_W" ] && return 0
        done
        return 1
    }
fi

# start_scrawlix_without_screencopy [ARG...]: the program in a Wayland session whose compositor it
# cannot ask for screencopy (it reaches no Wayland display of its own), so it takes the portal's way.
start_scrawlix_without_screencopy() { WAYLAND_DISPLAY=no-such-display start_scrawlix_settled "$@"; }

# bus_watch FILE INTERFACE: from now on, every method call to INTERFACE is logged to $E2E_TMP/FILE.
bus_watch() {
    dbus-monitor --session "type='method_call',interface='$2'" >"$E2E_TMP/$1" 2>&1 </dev/null {_e2e_nap_fd}<&- &
    _e2e_pids+=($!)
    wait_for 5 test -s "$E2E_TMP/$1" || fail "dbus-monitor did not start"
}
# portal_watch: bus_watch for the desktop portal's Screenshot; portal_screenshots counts the calls.
portal_watch() { bus_watch portal-calls org.freedesktop.portal.Screenshot; }
portal_screenshots() { grep -c 'member=Screenshot' "$E2E_TMP/portal-calls" || :; }

# message_box: the id of a message box of the program on the screen (a window titled "Scrawlix"
# smaller than the canvas), or nothing.
message_box() {
    local w g
    for w in $(xdotool search --onlyvisible --name '^Scrawlix$' 2>/dev/null || :); do
        read -r _ _ g _ < <(window_geometry "$w" 2>/dev/null) || continue
        [ "${g:-0}" -lt $((SCREEN_W / 2)) ] && { echo "$w"; return 0; }
    done
    return 1
}
# close_message_box: presses Return in the message box on the screen.
close_message_box() {
    local w
    w=$(message_box) || fail "no message box to close"
    activate_window "$w"
    xdotool key Return
    wait_for 5 eval '[ "$(message_box || :)" != "$w" ]' || fail "the message box did not close"
}
# activate_window ID: gives the window the keyboard focus, and waits for it.
activate_window() {
    xdotool windowactivate "$1" 2>/dev/null || :
    wait_for 5 _is_active "$1" || fail "window $1 does not take the focus"
}
_is_active() { [ "$(($(xdotool getwindowfocus 2>/dev/null || echo 0)))" = "$(($1))" ]; }
notified() { standin_saw "Notifications.Notify.*$1"; }
configuration() { xdotool search --onlyvisible --name "^Scrawlix Configuration$"; } # the dialog's windows
nothing_shown() { ! canvas_shown && ! message_box >/dev/null; }

# expect_refusal_told: the refused capture is told in a message box and in the log, and no canvas
# shows, before the box is closed or after; then TERM ends the program.
expect_refusal_told() {
    wait_for 10 message_box || fail "the refusal was not told"
    grep -q 'did not allow' "$SCRAWLIX_LOG" || fail "the log does not say the desktop refused"
    canvas_shown && fail "a canvas is shown after the refusal"
    close_message_box
    holds_for 1 eval '! canvas_shown' || fail "a canvas came after the refusal"
    stop_scrawlix || fail "TERM did not end the program"
}

# On GNOME Shell: the user's "Allow" in the screenshot permission dialog, as the permission store
# keeps it for programs outside a sandbox.
gnome_allow_screenshots() {
    dbus-send --session --print-reply --dest=org.freedesktop.impl.portal.PermissionStore \
        /org/freedesktop/impl/portal/PermissionStore org.freedesktop.impl.portal.PermissionStore.SetPermission \
        string:screenshot boolean:true string:screenshot string: array:string:yes >/dev/null ||
        fail "the permission store did not take the permission"
}
# gnome_key KEYSYM: a key pressed and released on GNOME Shell's own keyboard (the remote desktop
# interface's), which reaches the shell's dialogs as the user's keys would.
gnome_key() {
    /usr/bin/python3 - "$1" <<'EOP' || fail "GNOME Shell did not take the key $1"
import sys
import dbus
bus = dbus.SessionBus()
name = "org.gnome.Mutter.RemoteDesktop"
desktop = dbus.Interface(bus.get_object(name, "/org/gnome/Mutter/RemoteDesktop"), name)
session = dbus.Interface(bus.get_object(name, desktop.CreateSession()), name + ".Session")
session.Start()
key = dbus.UInt32(int(sys.argv[1], 0))
session.NotifyKeyboardKeysym(key, True)
session.NotifyKeyboardKeysym(key, False)
session.Stop()
EOP
}
