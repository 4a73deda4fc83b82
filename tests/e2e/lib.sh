# Helpers for the end-to-end tests, which run inside tests/e2e/session.sh. Checks return non-zero and
# leave the verdict to the caller; `fail` ends the test, keeping a screenshot and the log in E2E_TMP.
# shellcheck shell=bash
set -eEuo pipefail

if [ -z "${E2E_TMP:-}" ] || [ -z "${DISPLAY:-}" ]; then
    echo "${0##*/}: run this through tests/e2e/session.sh" >&2
    exit 2
fi

E2E_NAME=$(basename "$0" .sh)
E2E_SECTION=""
SCRAWLIX_PID=""    # the program started last
SCRAWLIX_LOG=""    # its stdout and stderr
SCRAWLIX_STATUS="" # its exit status, once collected
E2E_LOGS=()        # other logs whose last lines a failure shows
_e2e_pids=()       # everything to stop at exit
_e2e_run_as=()     # prefix of the program's command line (as_unprivileged_user)
_e2e_failing=""

# nap SECS: sleeps without starting a process; the tests poll a lot, often on busy machines.
mkfifo "$E2E_TMP/.nap.$$"
exec {_e2e_nap_fd}<>"$E2E_TMP/.nap.$$"
rm -f "$E2E_TMP/.nap.$$"
nap() { read -r -t "$1" -u "$_e2e_nap_fd" _ || :; }

# The X clients the tests use run bounded, since each can wait without end: xwininfo and xprop with
# an empty window id wait for a mouse click, xdotool's --sync for an event that may never come, and
# xclip for a selection owner that does not answer. One that runs out of time says so and fails.
_e2e_bounded() { # SECS CMD [ARG...]
    local s=0
    timeout -k 2 "$1" "${@:2}" || s=$?
    if [ "$s" = 124 ] || [ "$s" = 137 ]; then
        echo "e2e: no answer within $1 s from: ${*:2}" >&2
    fi
    return "$s"
}
_e2e_window_id_given() { # CMD ARG...: refuses an "-id" without a window
    [[ " ${*:2} " != *" -id  "* ]] || { echo "e2e: $1 was given an empty window id" >&2; return 2; }
}
xwininfo() { _e2e_window_id_given xwininfo "$@" && _e2e_bounded 10 xwininfo "$@"; }
xprop() { _e2e_window_id_given xprop "$@" && _e2e_bounded 10 xprop "$@"; }
xdotool() { _e2e_bounded 30 xdotool "$@"; }
xclip() { _e2e_bounded 20 xclip "$@"; }

# wait_for SECS CMD [ARG...]: runs CMD (output discarded) every 50 ms until it succeeds or time is up.
wait_for() { _e2e_poll 0 "$@"; }
# holds_for SECS CMD [ARG...]: CMD keeps succeeding, checked every 50 ms, for SECS seconds.
holds_for() { ! _e2e_poll 1 "$@"; }
_e2e_poll() { # WANT SECS CMD...: 0 once CMD's status (0 or 1) is WANT, 1 when SECS (may be "0.5") are up
    local want=$1 f=000000 end s
    [[ $2 == *.* ]] && f=${2#*.}000000
    end=$((${EPOCHREALTIME/./} + 10#${2%%.*}000000 + 10#${f:0:6}))
    shift 2
    while :; do
        "$@" >/dev/null 2>&1 && s=0 || s=1
        [ "$s" = "$want" ] && return 0
        [ "${EPOCHREALTIME/./}" -lt "$end" ] || return 1
        nap 0.05
    done
}

# section TITLE: names the checks that follow, in the output and in failure messages.
section() { E2E_SECTION=$*; echo "-- $E2E_NAME at ${SECONDS}s: $E2E_SECTION" >&2; }

# A script is a set of sections t_NAME(), each starting with `section TITLE` and setting up what it
# needs; CTest runs each as a test of its own (e2e.SCRIPT.NAME), and the script ends with `run_section "$@"`.
run_section() {
    if [ $# != 1 ] || ! declare -F "t_$1" >/dev/null; then
        echo "usage: ${0##*/} SECTION, one of:$(declare -F | sed -n 's/^declare -f t_/ /p' | tr -d '\n')" >&2
        exit 2
    fi
    E2E_NAME+=.$1
    "t_$1"
}

# fail MSG: ends the test, keeping a screenshot of the screen and the program's log.
fail() {
    [ -z "$_e2e_failing" ] || { echo "FAIL (while failing): $*" >&2; exit 1; }
    _e2e_failing=1
    echo "FAIL $E2E_NAME${E2E_SECTION:+ [$E2E_SECTION]}: $*" >&2
    local shot=$E2E_TMP/failure-$E2E_NAME.png
    import -window root "$shot" 2>/dev/null && echo "   screenshot: $shot" >&2
    [ ! -s "$E2E_TMP/import.log" ] || { echo "   screenshots said (last lines):"; tail -n 5 "$E2E_TMP/import.log" | sed 's/^/   | /'; } >&2
    local log
    for log in "${SCRAWLIX_LOG:-}" "${E2E_LOGS[@]}"; do
        [ ! -s "$log" ] || { echo "   log $log (last lines):"; tail -n 20 "$log" | sed 's/^/   | /'; } >&2
    done
    exit 1
}
trap 'fail "command failed with status $? at ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND"' ERR

_e2e_on_exit() {
    local status=$? pid
    trap - ERR
    set +e
    for pid in "${_e2e_pids[@]}"; do _e2e_alive "$pid" && _e2e_stop "$pid" >/dev/null 2>&1; done
    [ "$status" -eq 0 ] && echo "PASS $E2E_NAME in ${SECONDS}s" >&2
    return 0
}
trap _e2e_on_exit EXIT
trap 'exit 143' TERM; trap 'exit 130' INT

# expect_eq WHAT EXPECTED ACTUAL
expect_eq() { [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"; }

# A process that exists and is not a zombie waiting to be collected.
_e2e_alive() { local s=""; { read -r s <"/proc/$1/stat"; } 2>/dev/null && s=${s##*) } && [ "${s:0:1}" != Z ]; }

# _e2e_stop PID: TERM, up to 5 s of grace, then KILL; non-zero when it took the KILL.
_e2e_stop() {
    kill -TERM "$1" 2>/dev/null || return 0
    wait_for 5 eval "! _e2e_alive $1" && return 0
    kill -KILL "$1" 2>/dev/null
    wait_for 5 eval "! _e2e_alive $1"
    return 1
}

# start_scrawlix_settled [ARG...]: starts the program in the background, its output in a fresh
# SCRAWLIX_LOG, and waits up to 20 s for its start-up log to say "settled".
# start_in_tray [ARG...]: start_scrawlix_settled, then its icon in the tray.
start_in_tray() {
    start_scrawlix_settled "$@"
    wait_for 10 eval '[ -n "$(tray_icon)" ]' || fail "no tray icon"
}

start_scrawlix_settled() {
    [ -x "${SCRAWLIX_BIN:-}" ] || fail "no program at ${SCRAWLIX_BIN:-} (build it first)"
    SCRAWLIX_LOG=$E2E_TMP/scrawlix-${#_e2e_pids[@]}.log
    SCRAWLIX_STATUS=""
    QT_LOGGING_RULES="${QT_LOGGING_RULES:+$QT_LOGGING_RULES;}scrawlix.startup.info=true" \
        QT_FORCE_STDERR_LOGGING=1 "${_e2e_run_as[@]}" "$SCRAWLIX_BIN" "$@" >"$SCRAWLIX_LOG" 2>&1 </dev/null {_e2e_nap_fd}<&- &
    SCRAWLIX_PID=$!
    _e2e_pids+=("$SCRAWLIX_PID")
    wait_for 20 _e2e_settled_or_gone || fail "start-up did not finish within 20 s"
    grep -qF settled "$SCRAWLIX_LOG" && return 0
    collect_scrawlix_status
    fail "the program exited during start-up with status $SCRAWLIX_STATUS"
}

_e2e_settled_or_gone() { grep -qF settled "$SCRAWLIX_LOG" || ! scrawlix_running; }
scrawlix_running() { [ -n "$SCRAWLIX_PID" ] && _e2e_alive "$SCRAWLIX_PID"; }

# collect_scrawlix_status: once the program has ended, its exit status into SCRAWLIX_STATUS.
# (Call it directly, not in $(...): only this shell can collect its own child.)
collect_scrawlix_status() {
    [ -n "$SCRAWLIX_STATUS" ] && return 0
    SCRAWLIX_STATUS=0
    wait "$SCRAWLIX_PID" 2>/dev/null || SCRAWLIX_STATUS=$?
}

# stop_scrawlix: ends the program started last (TERM, then KILL after 5 s); non-zero when TERM was not
# enough. SCRAWLIX_STATUS holds its exit status afterwards (143 for death by TERM).
stop_scrawlix() {
    [ -n "$SCRAWLIX_PID" ] || return 0
    local ok=0
    _e2e_stop "$SCRAWLIX_PID" || ok=1
    collect_scrawlix_status
    return $ok
}

# fresh_home NAME: new, empty HOME and XDG data, config, cache and state folders under E2E_TMP/NAME.
fresh_home() {
    local base=$E2E_TMP/$1
    [ -e "$base" ] && fail "fresh_home $1: already used"
    export HOME=$base/home XDG_CONFIG_HOME=$base/home/.config XDG_CACHE_HOME=$base/home/.cache \
        XDG_DATA_HOME=$base/home/.local/share XDG_STATE_HOME=$base/home/.local/state
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
}

# as_unprivileged_user NAME: the programs started from now on run as uid and gid 65534, as an
# ordinary user does, with a fresh home of their own under E2E_TMP/NAME (fresh_home's variables,
# and a runtime folder). The session's files stay readable to them; nothing is added to the machine.
as_unprivileged_user() {
    fresh_home "$1"
    local run=$E2E_TMP/$1/run
    mkdir -m 0700 "$run"
    chown -R 65534:65534 "$E2E_TMP/$1"
    chmod 0711 "$E2E_TMP" "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR=$run
    _e2e_run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
}

settings_file() { echo "$XDG_CONFIG_HOME/Scrawlix/Scrawlix.conf"; }

# The KEY=VALUE lines of the [Settings] group, in file order, blanks and quotes around them removed.
_settings_group() {
    [ -f "$(settings_file)" ] || return 1
    awk '/^[ \t]*\[/ { inside = /^[ \t]*\[Settings\][ \t]*$/; next }
        inside && (i = index($0, "=")) { k = substr($0, 1, i - 1); v = substr($0, i + 1)
            gsub(/^[ \t]+|[ \t\r]+$/, "", k); gsub(/^[ \t]+|[ \t\r]+$/, "", v)
            if (v ~ /^".*"$/) v = substr(v, 2, length(v) - 2)
            print k "=" v }' "$(settings_file)"
}

# expect_settings KEY=VALUE...: the [Settings] group holds exactly these keys with these values.
expect_settings() {
    local want have
    want=$(printf '%s\n' "$@" | sort)
    have=$(_settings_group | sort) || fail "no settings file at $(settings_file)"
    [ "$want" = "$have" ] || fail "settings differ from the expected (< expected, > found):
$(diff <(echo "$want") <(echo "$have") | grep '^[<>]' || true)"
}

tray_panel_windows() { xdotool search --classname '^tint2$' 2>/dev/null || true; }
# tray_icon_count: the program's icons in the panel, of any process.
tray_icon_count() {
    local p n=0
    for p in $(tray_panel_windows); do n=$((n + $(xwininfo -tree -id "$p" | grep -c '"Scrawlix"' || :))); done
    echo "$n"
}

# screen_size: "WIDTH HEIGHT" of the whole X screen.
screen_size() { xdpyinfo | awk '/dimensions:/ && !done { sub("x", " ", $2); print $2; done = 1 }'; }

window_parent() { { xwininfo -children -id "$1" 2>/dev/null || :; } | awk '/Parent window id:/ { print $4; exit }'; }

# in_tray WIN: WIN sits inside the tray panel (an embedded tray icon).
in_tray() {
    local w=$1 panels p
    panels=$(tray_panel_windows)
    [ -n "$panels" ] || return 1
    while [ -n "$w" ] && [ "$((w))" != 0 ]; do # the root's parent is 0
        for p in $panels; do [ "$((w))" = "$((p))" ] && return 0; done
        w=$(window_parent "$w")
    done
    return 1
}

# app_windows_of_pid PID: the process's viewable windows other than its tray icon.
app_windows_of_pid() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null || true); do in_tray "$w" || echo "$w"; done
}
# tray_icons_of_pid PID: the process's windows embedded in the tray panel.
tray_icons_of_pid() {
    local w
    for w in $(xdotool search --pid "$1" 2>/dev/null || true); do in_tray "$w" && echo "$w"; done
    return 0
}
tray_icon() { tray_icons_of_pid "$SCRAWLIX_PID" | head -1; }

# program_windows: the program's viewable windows with their geometry and title, for failure messages.
program_windows() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$SCRAWLIX_PID" 2>/dev/null); do
        printf '[%s %s "%s"] ' "$w" "$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ { print $2 }')" \
            "$(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

# _menu_window ICON: the popup menu (or tray message), a viewable override-redirect window of the
# program's other than ICON, the tray icon, which is one too.
_menu_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$SCRAWLIX_PID" 2>/dev/null); do
        [ "$((w))" = "$(($1))" ] && continue
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w" && return 0
    done
    return 1
}
_menu_shown() { _menu_window "$1" >/dev/null; }
_no_menu() { ! _menu_shown "$1"; }
# _icon_state WIN: "IsViewable at X Y WIDTH HEIGHT", or "IsUnMapped at …", for messages about a tray icon.
_icon_state() {
    echo "$(xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }' || :) at $(window_geometry "$1" 2>/dev/null || :)"
}
# _under_pointer: the window the mouse pointer is over, for messages.
_under_pointer() {
    # shellcheck disable=SC2034 # set by the eval
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell 2>/dev/null)"
    printf 'under the pointer at %s %s: 0x%x "%s"' "$X" "$Y" "$WINDOW" "$(xdotool getwindowname "$WINDOW" 2>/dev/null)"
}
# _icon_drawn WIN: the screen shows the icon, not only the panel behind it: more than one colour
# where the icon is, once it is viewable.
_icon_drawn() {
    local x y w h
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' || return 1
    read -r x y w h < <(window_geometry "$1") || return 1
    [ "$(import -window root -crop "${w}x$h+$x+$y" +repage miff:- | convert - -format '%k' info:)" -gt 1 ]
}

# tray_menu KEYS...: opens the tray icon's menu with the right button, once the icon is there to be
# seen, and types KEYS into it. Keys that arrive before the menu has the keyboard are lost and leave
# it open; then it is closed and the whole thing done once more.
tray_menu() {
    local icon _ opened=
    icon=$(tray_icon)
    [ -n "$icon" ] || fail "no tray icon"
    wait_for 10 _icon_drawn "$icon" || fail "the tray icon $icon was not drawn within 10 s ($(_icon_state "$icon"))"
    for _ in 1 2; do
        wait_for 5 _no_menu "$icon" || fail "a menu is still open: $(program_windows)"
        click_window "$icon" 3
        wait_for 5 _menu_shown "$icon" || continue
        opened=1
        nap 0.2
        xdotool key --delay 60 "$@"
        wait_for 2 _no_menu "$icon" && return
        xdotool key Escape
    done
    [ -n "$opened" ] || fail "the tray menu did not open at a right click on the icon $icon ($(_icon_state "$icon"); $(_under_pointer)): $(program_windows)"
    fail "the tray menu did not take the keys $*: $(program_windows)"
}

# window_geometry WIN: "X Y WIDTH HEIGHT", X and Y relative to the root window.
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { if (w == "") exit 1; print x, y, w, h }'
}

# pointer_to X Y: moves the mouse pointer there and waits for it (xdotool's --sync would wait forever
# when the pointer is there already).
pointer_to() {
    # shellcheck disable=SC2034 # set by the eval
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X" = "$1" ] && [ "$Y" = "$2" ] && return 0
    xdotool mousemove --sync "$1" "$2"
}

# click_window WIN [BUTTON [COUNT]]: clicks the middle of WIN (COUNT times in a row: 2 = double-click).
click_window() {
    local x y w h
    read -r x y w h < <(window_geometry "$1") || fail "click_window: no window $1"
    pointer_to $((x + w / 2)) $((y + h / 2))
    xdotool click --repeat "${3:-1}" --delay 80 "${2:-1}"
}

# press_hotkey LETTER: Super + LETTER, as a user would press it.
press_hotkey() { xdotool key --clearmodifiers "super+$1"; }

# Pixels. A bare file name is taken to be in E2E_TMP.
_artefact() { if [[ $1 == */* ]]; then echo "$1"; else echo "$E2E_TMP/$1"; fi; }

# screenshot FILE [X Y W H]: the screen, or that part of it. What ImageMagick says when it fails goes
# to E2E_TMP/import.log, which fail shows.
screenshot() { import -window root ${2:+-crop "$4x$5+$2+$3" +repage} "$(_artefact "$1")" 2>>"$E2E_TMP/import.log"; }

_rgb_format='%[fx:int(255*r+0.5)],%[fx:int(255*g+0.5)],%[fx:int(255*b+0.5)]'

# pixel FILE X Y: the colour of one pixel as "r,g,b" (0..255), whatever the image's storage.
pixel() {
    local f w h
    f=$(_artefact "$1")
    read -r w h < <(identify -format '%w %h\n' "${f}[0]" 2>/dev/null) || fail "pixel: cannot read $f"
    ((0 <= $2 && $2 < w && 0 <= $3 && $3 < h)) || fail "pixel: ($2,$3) lies outside the ${w}x$h image $f"
    convert "${f}[0]" -alpha off -crop "1x1+$2+$3" +repage -format "$_rgb_format\n" info:
}

# screen_pixel X Y: the colour of one pixel of the screen now, as "r,g,b".
screen_pixel() {
    import -window root -crop "1x1+$1+$2" +repage miff:- | convert - -alpha off -format "$_rgb_format\n" info:
}

# _count_differences FUZZ CONVERT-ARGS...: how many pixels of the image pair differ by more than FUZZ %.
_count_differences() {
    convert "${@:2}" -alpha off -compose difference -composite -separate -evaluate-sequence max \
        -threshold "$1%" -format '%[fx:int(mean*w*h+0.5)]\n' info:
}

# diff_pixels A B [FUZZ]: how many pixels differ between two screenshots of the same size.
diff_pixels() { _count_differences "${3:-0}" "$(_artefact "$1")" "$(_artefact "$2")"; }

# diff_pixels_outside A B X Y W H [FUZZ]: the same, ignoring the rectangle.
diff_pixels_outside() {
    _count_differences "${7:-0}" "$(_artefact "$1")" "$(_artefact "$2")" -fill black -stroke none \
        -draw "rectangle $3,$4 $(($3 + $5 - 1)),$(($4 + $6 - 1))"
}

# count_color FILE X Y W H R,G,B: how many pixels of the rectangle have exactly that colour.
count_color() {
    convert "$(_artefact "$1")" -alpha off -crop "${4}x${5}+$2+$3" +repage -alpha set -transparent "rgb($6)" \
        -alpha extract -negate -format '%[fx:int(mean*w*h+0.5)]\n' info:
}

# recording_opener: an xdg-open first on PATH that only notes what it is given (opened_path), and
# data folders with the MIME database and no applications but those of desktop_app.
recording_opener() {
    mkdir -p "$E2E_TMP/bin" "$E2E_TMP/share" "$XDG_DATA_HOME/applications"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$E2E_TMP/opened.log" >"$E2E_TMP/bin/xdg-open"
    chmod +x "$E2E_TMP/bin/xdg-open"
    ln -s /usr/share/mime "$E2E_TMP/share/mime"
    export PATH=$E2E_TMP/bin:$PATH XDG_DATA_DIRS=$E2E_TMP/share
}
# opened_path: what the opener got last, as a file path.
opened_path() { local o; o=$(tail -n 1 "$E2E_TMP/opened.log"); o=${o#file://}; printf '%b' "${o//%/\\x}"; }
# desktop_app NAME EXEC TYPE: the user's desktop entry NAME.desktop, an application for TYPE.
desktop_app() {
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s\nMimeType=%s;\n' "$1" "$2" "$3" \
        >"$XDG_DATA_HOME/applications/$1.desktop"
}

clipboard_targets() { xclip -selection clipboard -o -t TARGETS 2>/dev/null; }
clipboard_image() { xclip -selection clipboard -o -t image/png >"$(_artefact "$1")"; }

# The tray icon: the program's StatusNotifier item, clicked twice (a double-click, for a host that
# reports clicks only): from one process, so the clicks come within the double-click time however
# slowly processes start.
_sni_item() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | grep -o '"[^"/]*' | tr -d '"' | head -1
}
wait_tray_item() { wait_for 10 eval '[ -n "$(_sni_item)" ]' || fail "the program registered no tray item"; }
double_click_tray() {
    /usr/bin/python3 - "$(_sni_item)" <<'EOP' || fail "the tray item did not take Activate"
import sys
import dbus
item = dbus.Interface(dbus.SessionBus().get_object(sys.argv[1], "/StatusNotifierItem"), "org.kde.StatusNotifierItem")
item.Activate(10, 10, ignore_reply=True)
item.Activate(10, 10)
EOP
}
