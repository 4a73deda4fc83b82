# Helpers for the end-to-end tests. Each tests/e2e/test_*.sh sources this file and runs inside
# tests/e2e/session.sh, which provides DISPLAY, a fresh HOME and XDG folders, SCRAWLIX_BIN and E2E_TMP.
#
# Conventions: helpers that check something return non-zero and leave the verdict to the caller
# (`wait_for 5 cond || fail "..."`); `fail` ends the test, saving a screenshot and the program's log
# into E2E_TMP, which session.sh keeps after a failure. Relative artefact names land in E2E_TMP.
# shellcheck shell=bash

set -eEuo pipefail

if [ -z "${E2E_TMP:-}" ] || [ -z "${DISPLAY:-}" ]; then
    echo "${0##*/}: run this through tests/e2e/session.sh" >&2
    exit 2
fi

# shellcheck disable=SC2034 # for the tests: their own folder, for files they bring along
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_NAME=$(basename "$0" .sh)
E2E_SECTION=""

SCRAWLIX_PID=""    # the program started last by start_scrawlix
SCRAWLIX_LOG=""    # its stdout and stderr
SCRAWLIX_STATUS="" # its exit status, once stop_scrawlix or collect_scrawlix_status collected it
_e2e_pids=()       # every program start_scrawlix started, for the clean-up at exit
_e2e_runs=0
_e2e_failing=""

# --- time ---------------------------------------------------------------------------------------------

# Naps without starting a process each time: the tests poll a lot, often on busy machines.
mkfifo "$E2E_TMP/.nap.$$"
exec {_e2e_nap_fd}<>"$E2E_TMP/.nap.$$"
rm -f "$E2E_TMP/.nap.$$"
nap() { read -r -t "$1" -u "$_e2e_nap_fd" _ || :; }

# Microseconds since the epoch, in REPLY.
_now_us() { REPLY=${EPOCHREALTIME/./}; }

# SECONDS (may have a fraction, "0.5") as microseconds, in REPLY.
_seconds_to_us() {
    local s=$1 whole frac=""
    whole=${s%%.*}
    [[ $s == *.* ]] && frac=${s#*.}
    frac=${frac}000000
    REPLY=$((10#${whole:-0} * 1000000 + 10#${frac:0:6}))
}

# wait_for TIMEOUT_SECS CMD [ARG...]: runs CMD every 50 ms until it succeeds (0) or the time is up (1).
# CMD's output is discarded.
wait_for() {
    local deadline
    _seconds_to_us "$1"
    shift
    local span=$REPLY
    _now_us
    deadline=$((REPLY + span))
    while :; do
        "$@" >/dev/null 2>&1 && return 0
        _now_us
        [ "$REPLY" -ge "$deadline" ] && return 1
        nap 0.05
    done
}

# holds_for SECS CMD [ARG...]: CMD keeps succeeding, checked every 50 ms, for SECS seconds (0), or
# fails once (1).
holds_for() {
    local deadline
    _seconds_to_us "$1"
    shift
    local span=$REPLY
    _now_us
    deadline=$((REPLY + span))
    while :; do
        "$@" >/dev/null 2>&1 || return 1
        _now_us
        [ "$REPLY" -ge "$deadline" ] && return 0
        nap 0.05
    done
}

# --- verdicts -----------------------------------------------------------------------------------------

_now_us
_e2e_started_us=$REPLY
# Seconds since the test started, as "1.23 s".
_elapsed() {
    _now_us
    local ms=$(((REPLY - _e2e_started_us) / 1000))
    printf '%d.%02d s' $((ms / 1000)) $((ms % 1000 / 10))
}

# section TITLE: names the group of checks that follows, for the output and for failure messages.
section() {
    E2E_SECTION=$*
    echo "-- $E2E_NAME at $(_elapsed): $E2E_SECTION" >&2
}

# fail MSG: ends the test, keeping a screenshot of the screen and the program's log.
fail() {
    if [ -n "$_e2e_failing" ]; then
        echo "FAIL (while failing): $*" >&2
        exit 1
    fi
    _e2e_failing=1
    echo "FAIL $E2E_NAME${E2E_SECTION:+ [$E2E_SECTION]}: $*" >&2
    local shot
    shot=$E2E_TMP/failure-$E2E_NAME.png
    if import -window root "$shot" 2>/dev/null; then
        echo "   screenshot: $shot" >&2
    fi
    if [ -n "$SCRAWLIX_LOG" ] && [ -s "$SCRAWLIX_LOG" ]; then
        echo "   program log $SCRAWLIX_LOG (last lines):" >&2
        tail -n 20 "$SCRAWLIX_LOG" | sed 's/^/   | /' >&2
    fi
    exit 1
}

_e2e_on_error() {
    local status=$1 line=$2 cmd=$3
    local where=${BASH_SOURCE[1]:-$0}
    fail "command failed with status $status at ${where##*/}:$line: $cmd"
}
trap '_e2e_on_error $? $LINENO "$BASH_COMMAND"' ERR

_e2e_on_exit() {
    local status=$?
    trap - ERR
    local pid
    for pid in "${_e2e_pids[@]}"; do
        _e2e_alive "$pid" && _e2e_stop "$pid" >/dev/null 2>&1
    done
    [ "$status" -eq 0 ] && echo "PASS $E2E_NAME in $(_elapsed)" >&2
    return 0
}
trap _e2e_on_exit EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# expect_eq WHAT EXPECTED ACTUAL
expect_eq() {
    [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}

# --- the program --------------------------------------------------------------------------------------

# A process that exists and is not a zombie waiting to be collected.
_e2e_alive() {
    local stat=""
    { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 1
    stat=${stat##*) }
    [ "${stat:0:1}" != Z ]
}

# start_scrawlix [ARG...]: starts the program in the background with its output in a fresh log
# (SCRAWLIX_LOG) and its start-up log category on, so wait_settled can see it finish starting.
start_scrawlix() {
    [ -x "$SCRAWLIX_BIN" ] || fail "no program at $SCRAWLIX_BIN (build it first)"
    _e2e_runs=$((_e2e_runs + 1))
    SCRAWLIX_LOG=$E2E_TMP/scrawlix-$_e2e_runs.log
    SCRAWLIX_STATUS=""
    QT_LOGGING_RULES="${QT_LOGGING_RULES:+$QT_LOGGING_RULES;}scrawlix.startup.info=true" \
        QT_FORCE_STDERR_LOGGING=1 "$SCRAWLIX_BIN" "$@" >"$SCRAWLIX_LOG" 2>&1 </dev/null {_e2e_nap_fd}<&- &
    SCRAWLIX_PID=$!
    _e2e_pids+=("$SCRAWLIX_PID")
}

scrawlix_running() { [ -n "$SCRAWLIX_PID" ] && _e2e_alive "$SCRAWLIX_PID"; }

_e2e_settled() { grep -qF settled "$SCRAWLIX_LOG"; }
_e2e_settled_or_gone() { _e2e_settled || ! scrawlix_running; }

# wait_settled [TIMEOUT_SECS]: waits for the program to report that start-up is done; fails the test
# when it exits or takes longer (default 20 s).
# shellcheck disable=SC2120
wait_settled() {
    wait_for "${1:-20}" _e2e_settled_or_gone || fail "start-up did not finish within ${1:-20} s"
    if ! _e2e_settled; then
        collect_scrawlix_status
        fail "the program exited during start-up with status $SCRAWLIX_STATUS"
    fi
}

# start_scrawlix_settled [ARG...]: both of the above.
start_scrawlix_settled() {
    start_scrawlix "$@"
    wait_settled
}

# collect_scrawlix_status: once the program has ended, puts its exit status into SCRAWLIX_STATUS.
# (Call it directly, not in $(...): only this shell can collect its own child.)
collect_scrawlix_status() {
    [ -n "$SCRAWLIX_STATUS" ] && return 0
    local s=0
    wait "$SCRAWLIX_PID" 2>/dev/null || s=$?
    SCRAWLIX_STATUS=$s
}

# TERM, up to 5 s of grace, then KILL. Returns 1 when it took the KILL.
_e2e_stop() {
    local pid=$1
    kill -TERM "$pid" 2>/dev/null || return 0
    if wait_for 5 eval "! _e2e_alive $pid"; then return 0; fi
    kill -KILL "$pid" 2>/dev/null || true
    wait_for 5 eval "! _e2e_alive $pid" || true
    return 1
}

# stop_scrawlix: ends the program started last (TERM, then KILL after 5 s). Returns non-zero when TERM
# was not enough. SCRAWLIX_STATUS holds its exit status afterwards (143 for death by TERM).
stop_scrawlix() {
    [ -n "$SCRAWLIX_PID" ] || return 0
    local ok=0
    _e2e_stop "$SCRAWLIX_PID" || ok=1
    collect_scrawlix_status
    return $ok
}

# --- homes and settings -------------------------------------------------------------------------------

# fresh_home NAME: switches HOME and the XDG data, config, cache and state folders to new, empty ones
# under E2E_TMP/NAME, for a test that runs the program several times from different starting points.
fresh_home() {
    local base=$E2E_TMP/$1
    [ -e "$base" ] && fail "fresh_home $1: already used"
    mkdir -p "$base/home/.config" "$base/home/.cache" "$base/home/.local/share" "$base/home/.local/state"
    export HOME=$base/home
    export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
    export XDG_DATA_HOME=$HOME/.local/share XDG_STATE_HOME=$HOME/.local/state
}

settings_file() { echo "$XDG_CONFIG_HOME/Scrawlix/Scrawlix.conf"; }

# settings_group: the KEY=VALUE lines of the [Settings] group, blanks around both trimmed, in file order.
settings_group() {
    local f
    f=$(settings_file)
    [ -f "$f" ] || return 1
    awk '
        /^[ \t]*\[/ { inside = ($0 ~ /^[ \t]*\[Settings\][ \t]*$/); next }
        inside && index($0, "=") {
            i = index($0, "=")
            k = substr($0, 1, i - 1); v = substr($0, i + 1)
            gsub(/^[ \t]+|[ \t\r]+$/, "", k); gsub(/^[ \t]+|[ \t\r]+$/, "", v)
            if (v ~ /^".*"$/) v = substr(v, 2, length(v) - 2)
            print k "=" v
        }' "$f"
}

# setting KEY: the value of KEY in the [Settings] group; non-zero when the key is absent.
setting() {
    local line
    while IFS= read -r line; do
        if [ "${line%%=*}" = "$1" ]; then
            echo "${line#*=}"
            return 0
        fi
    done < <(settings_group)
    return 1
}

# write_settings KEY=VALUE...: writes a settings file holding just these lines in [Settings], dated in
# the past so that any later write by the program shows in file_stamp.
write_settings() {
    local f
    f=$(settings_file)
    mkdir -p "$(dirname "$f")"
    {
        echo "[Settings]"
        printf '%s\n' "$@"
    } >"$f"
    touch -d '2001-02-03 04:05:06' "$f"
}

# file_stamp FILE: inode, modification time and checksum; equal stamps mean the file was not rewritten.
file_stamp() {
    [ -e "$1" ] || {
        echo absent
        return 0
    }
    echo "$(stat -c '%i %y' "$1") $(md5sum <"$1")"
}

# expect_settings KEY=VALUE...: the [Settings] group holds exactly these keys with these values.
expect_settings() {
    local want have
    want=$(printf '%s\n' "$@" | sort)
    have=$(settings_group | sort) || fail "no settings file at $(settings_file)"
    [ "$want" = "$have" ] || fail "settings differ from the expected (< expected, > found):
$(diff <(echo "$want") <(echo "$have") | grep '^[<>]' || true)"
}

# --- windows ------------------------------------------------------------------------------------------

# visible_windows_of_pid PID: ids of the viewable windows that carry the process's _NET_WM_PID,
# including a tray icon embedded in the panel.
visible_windows_of_pid() {
    xdotool search --onlyvisible --pid "$1" 2>/dev/null || true
}

# The tray panel's window(s).
tray_panel_windows() {
    xdotool search --classname '^tint2$' 2>/dev/null || true
}

# window_parent WIN: the id of WIN's parent window.
window_parent() {
    xwininfo -children -id "$1" 2>/dev/null | awk '/Parent window id:/ { print $4; exit }'
}

# in_tray WIN: WIN sits inside the tray panel (an embedded tray icon).
in_tray() {
    local w=$1 panels p root
    panels=$(tray_panel_windows)
    [ -n "$panels" ] || return 1
    root=$(xwininfo -root | awk '/Window id:/ { print $4; exit }')
    while [ -n "$w" ] && [ "$((w))" != 0 ] && [ "$((w))" != "$((root))" ]; do
        for p in $panels; do [ "$((w))" = "$((p))" ] && return 0; done
        w=$(window_parent "$w")
    done
    return 1
}

# app_windows_of_pid PID: the process's viewable windows other than its tray icon.
app_windows_of_pid() {
    local w
    for w in $(visible_windows_of_pid "$1"); do
        in_tray "$w" || echo "$w"
    done
}

# tray_icons_of_pid PID: the process's windows embedded in the tray panel.
tray_icons_of_pid() {
    local w
    for w in $(xdotool search --pid "$1" 2>/dev/null || true); do
        in_tray "$w" && echo "$w"
    done
    return 0
}

# window_geometry WIN: "X Y WIDTH HEIGHT", X and Y relative to the root window.
window_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
        END { if (w == "") exit 1; print x, y, w, h }'
}

# pointer_to X Y: moves the mouse pointer and waits until it is there. (xdotool's --sync waits for a
# motion that never comes when the pointer is there already, so that case is left out.)
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

# window_property WIN PROPERTY: xprop's view of one property ("PROP(TYPE) = value" or "not found").
window_property() { xprop -id "$1" "$2" 2>/dev/null; }

# press_hotkey LETTER: Super + LETTER, as a user would press it.
press_hotkey() { xdotool key --clearmodifiers "super+$1"; }

# --- pixels -------------------------------------------------------------------------------------------

_artefact() {
    case $1 in
        */*) echo "$1" ;;
        *) echo "$E2E_TMP/$1" ;;
    esac
}

# screenshot FILE: the whole screen; a bare file name goes into E2E_TMP.
screenshot() { import -window root "$(_artefact "$1")"; }

_rgb_format='%[fx:int(255*r+0.5)],%[fx:int(255*g+0.5)],%[fx:int(255*b+0.5)]'

# pixel FILE X Y: the colour of one pixel as "r,g,b" (0..255), whatever the image's storage.
pixel() {
    local f size w h
    f=$(_artefact "$1")
    size=$(identify -format '%w %h' "${f}[0]" 2>/dev/null) || fail "pixel: cannot read $f"
    read -r w h <<<"$size"
    { [ "$2" -ge 0 ] && [ "$3" -ge 0 ] && [ "$2" -lt "$w" ] && [ "$3" -lt "$h" ]; } ||
        fail "pixel: ($2,$3) lies outside the ${w}x$h image $f"
    convert "${f}[0]" -alpha off -crop "1x1+$2+$3" +repage -format "$_rgb_format" info:
    echo
}

# screen_pixel X Y: the colour of one pixel of the screen now, as "r,g,b".
screen_pixel() {
    import -window root -crop "1x1+$1+$2" +repage miff:- | convert - -alpha off -format "$_rgb_format" info:
    echo
}

# The rectangle X Y W H as ImageMagick draws it (corners inclusive).
_rect_draw() { echo "rectangle $1,$2 $(($1 + $3 - 1)),$(($2 + $4 - 1))"; }

# Counts the pixels that differ in the image pair given as convert arguments; FUZZ (a percentage of
# the full range, default 0) tolerates small differences per channel.
_count_differences() {
    local fuzz=$1
    shift
    convert "$@" -alpha off -compose difference -composite -separate -evaluate-sequence max \
        -threshold "$fuzz%" -format '%[fx:int(mean*w*h+0.5)]' info:
    echo
}

# diff_pixels A B [FUZZ]: how many pixels differ between two screenshots of the same size.
diff_pixels() {
    _count_differences "${3:-0}" "$(_artefact "$1")" "$(_artefact "$2")"
}

# diff_pixels_outside A B X Y W H [FUZZ]: the same, ignoring the rectangle.
diff_pixels_outside() {
    _count_differences "${7:-0}" "$(_artefact "$1")" "$(_artefact "$2")" \
        -fill black -stroke none -draw "$(_rect_draw "$3" "$4" "$5" "$6")"
}

# diff_pixels_inside A B X Y W H [FUZZ]: the same, within the rectangle only.
diff_pixels_inside() {
    local crop="${5}x${6}+$3+$4"
    _count_differences "${7:-0}" \( "$(_artefact "$1")" -crop "$crop" +repage \) \
        \( "$(_artefact "$2")" -crop "$crop" +repage \)
}

# count_color FILE X Y W H R,G,B: how many pixels of the rectangle have exactly that colour.
count_color() {
    convert "$(_artefact "$1")" -alpha off -crop "${4}x${5}+$2+$3" +repage -alpha set -transparent "rgb($6)" \
        -alpha extract -negate -format '%[fx:int(mean*w*h+0.5)]' info:
    echo
}

# --- clipboard ----------------------------------------------------------------------------------------

# clipboard_targets: the formats the clipboard owner offers, one a line.
clipboard_targets() { xclip -selection clipboard -o -t TARGETS 2>/dev/null; }

# clipboard_image FILE: the clipboard's image as PNG.
clipboard_image() { xclip -selection clipboard -o -t image/png >"$(_artefact "$1")"; }
