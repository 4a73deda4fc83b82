#!/usr/bin/env bash
# The configuration dialog of the real program: opened from the tray menu, it saves the defaults on
# Ok and nothing on Cancel or the close box; a new hot-key letter captures at once; the run-on-startup
# box writes or hides the machine-wide autostart entry.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

title="Scrawlix Configuration"
autostart=$XDG_CONFIG_DIRS/autostart
entry=$autostart/Scrawlix.desktop
program=$(readlink -f "$SCRAWLIX_BIN")

# The client area's geometry, in pixels at 96 dpi.
expect_size() { # WIN W H
    local x y w h
    read -r x y w h < <(window_geometry "$1")
    [ "$w $h" = "$2 $3" ] || fail "\"$title\" is ${w}x$h, not ${2}x$3"
}
canvas_up() { # the canvas covers the screen
    local w
    for w in $(windows_named Scrawlix); do
        [ "$(window_geometry "$w")" = "0 0 1920 1080" ] && return 0
    done
    return 1
}
open_options() {
    dlg_tray_menu c
    dlg=$(wait_window "$title")
    # Typing goes to the dialog only once it has the focus.
    wait_for 5 active_window_is "$dlg" || fail "\"$title\" did not get the focus"
}
set_letter() { # the hot-key box has the focus when the dialog opens
    xdotool key --delay 40 ctrl+a "$1"
}
# The run-on-startup box: Frame2 (120, 3240) + chkRunOnStartup (120, 240) + a little, in twips.
click_run_on_startup() { click_client "$dlg" $(((120 + 120) / 15 + 8)) $(((3240 + 240) / 15 + 16)); }

section "Configuration from the tray menu; Ok saves the defaults and the new letter captures at once"
fresh_home letter
mkdir -p "$autostart"
start_scrawlix_settled
open_options
expect_size "$dlg" 305 312
# Asking again while it is open shows the same dialog.
dlg_tray_menu c
nap 0.5
[ "$(windows_named "$title" | wc -l)" = 1 ] || fail "a second \"$title\" opened"
set_letter K
xdotool key alt+o
wait_window_gone "$title"
expect_settings PenSize=25 PenColor=8 Font=0 Tool=0 Fill=1 HotKey=K RunOnStartup=0
# Unchecked: the entry exists and says not to start.
grep -qx 'Hidden=true' "$entry" || fail "the autostart entry is not hidden:
$(cat "$entry" 2>/dev/null)"
press_hotkey v
holds_for 1.5 eval '! canvas_up' || fail "the old letter V still captures"
press_hotkey k
wait_for 10 canvas_up || fail "Windows + K did not capture the screen"
stop_scrawlix || fail "TERM did not end the program"

section "run on startup: checked writes the entry, unchecked hides it"
fresh_home startup
start_scrawlix_settled
open_options
click_run_on_startup
xdotool key alt+o
wait_window_gone "$title"
[ "$(setting RunOnStartup)" = 1 ] || fail "RunOnStartup is not 1"
no_window_named Error || fail "an error box appeared although the autostart folder is there"
grep -qx '\[Desktop Entry\]' "$entry" || fail "no desktop entry at $entry"
grep -qx "Exec=\"$program\"" "$entry" || fail "the entry does not start $program:
$(cat "$entry")"
grep -q '^Hidden=true' "$entry" && fail "the entry is hidden although the box was checked"
open_options
click_run_on_startup # now unchecked again
xdotool key alt+o
wait_window_gone "$title"
[ "$(setting RunOnStartup)" = 0 ] || fail "RunOnStartup is not 0"
grep -qx 'Hidden=true' "$entry" || fail "unchecking did not hide the entry"
grep -qx "Exec=\"$program\"" "$entry" || fail "hiding lost the Exec line"
stop_scrawlix || fail "TERM did not end the program"

section "Cancel and the close box save nothing"
fresh_home cancel
rm -f "$entry" # the folder stays, so a wrongful write would show
write_settings PenSize=25 PenColor=8 Font=0 Tool=0 Fill=1 HotKey=V
stamp=$(file_stamp "$(settings_file)")
start_scrawlix_settled
open_options
set_letter Z
click_run_on_startup
xdotool key alt+c
wait_window_gone "$title"
open_options
set_letter Z
if close_window "$dlg"; then
    wait_window_gone "$title"
else
    echo "   (wmctrl is not installed: the close box is left untried)" >&2
    xdotool key alt+c
    wait_window_gone "$title"
fi
[ "$(file_stamp "$(settings_file)")" = "$stamp" ] || fail "the settings were rewritten:
$(cat "$(settings_file)")"
[ -e "$entry" ] && fail "an autostart entry was written"
scrawlix_running || fail "the program ended"
stop_scrawlix || fail "TERM did not end the program"
