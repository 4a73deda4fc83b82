# What the two session scripts share: tests/e2e/session.sh (an X session) and tests/wayland/session.sh
# (a Wayland one) source this with their COMMAND [ARG...] as arguments. It checks that there is a
# COMMAND, sets bin (the program: SCRAWLIX_BIN or the build's) and gives:
#   session_begin KIND NAME [ROOT]  the session's files in ROOT, or a new $TMPDIR/scrawlix-NAME.*
#                    (sess: the daemons' files and logs; home, run, xdg-config-dirs), an environment
#                    cleared of the caller's desktop, and the teardown at exit or on a signal
#                    (teardown_more too, if defined); root is removed unless COMMAND failed
#   setup_failed MSG  says that the session could not be set up, with the logs' last lines (125)
#   poll SECS CMD...  runs CMD until it succeeds, for at most SECS seconds
#   need TOOL...      fails the set-up unless each TOOL is installed
#   daemon LOG CMD... runs CMD in the background as one of the daemons in pids, its output in sess/LOG
#   start_session_bus a session bus of our own, starting only the services in sess/services
#   private_home     HOME and the XDG_*_HOME folders in root/home
#   run_command      runs COMMAND (SCRAWLIX_BIN, E2E_TMP=root) in a process group of its own; exits with its status
# shellcheck shell=bash
# shellcheck disable=SC2317 # functions called from traps and through poll
set -uo pipefail

[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }
bin=${SCRAWLIX_BIN:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/scrawlix}
[[ $bin == /* ]] || bin=$PWD/$bin

session_begin() {
    kind=$1
    root=${3:-$(mktemp -d "${TMPDIR:-/tmp}/scrawlix-$2.XXXXXX")} || exit 125
    sess=$root/session
    mkdir -p "$sess/services" "$root/home/.config" "$root/home/.cache" "$root/home/.local/share" \
        "$root/xdg-config-dirs" && mkdir -m 0700 "$root/run" || exit 125
    pids=()     # the session's daemons
    cmd_pid=""  # COMMAND, leader of its own process group
    status=125
    trap teardown EXIT
    local sig
    # shellcheck disable=SC2064 # expanded now on purpose
    for sig in 1 2 15; do trap "status=$((128 + sig)); exit $((128 + sig))" "$sig"; done
    unset DISPLAY WAYLAND_DISPLAY XAUTHORITY SWAYSOCK SESSION_MANAGER DESKTOP_SESSION XDG_CURRENT_DESKTOP \
        XDG_SESSION_DESKTOP XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME DBUS_SESSION_BUS_ADDRESS \
        LC_ALL LANGUAGE QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR \
        QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI \
        QT_SCALE_FACTOR_ROUNDING_POLICY GDK_SCALE GDK_BACKEND
    export LANG=C.UTF-8 XDG_RUNTIME_DIR=$root/run XDG_CONFIG_DIRS=$root/xdg-config-dirs
}

teardown() {
    trap - EXIT INT TERM HUP
    if [ -n "$cmd_pid" ]; then # and whatever it left running
        kill -TERM -- "-$cmd_pid" 2>/dev/null && sleep 0.05
        kill -KILL -- "-$cmd_pid" 2>/dev/null
        wait "$cmd_pid" 2>/dev/null
    fi
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -TERM "${pids[i]}" 2>/dev/null; done
    for _ in {1..40}; do kill -0 "${pids[@]}" 2>/dev/null || break; sleep 0.05; done # 2 s, then KILL
    kill -KILL "${pids[@]}" 2>/dev/null
    wait "${pids[@]}" 2>/dev/null
    ! declare -F teardown_more >/dev/null || teardown_more
    # (Run as nobody in a root made for it, the folder itself may stay, for its maker to remove.)
    if [ "$status" -eq 0 ]; then rm -rf "$root" 2>/dev/null; else echo "session: exit status $status; files kept in $root" >&2; fi
}

setup_failed() {
    echo "session: cannot set up the $kind session: $*" >&2
    tail -n 15 "$sess"/*.log >&2 2>/dev/null
    exit 125
}
poll() { local end=$((SECONDS + $1)); shift; until "$@"; do ((SECONDS < end)) || return 1; sleep 0.05; done; } # SECS CMD...
need() {
    local tool
    for tool; do command -v "$tool" >/dev/null || setup_failed "$tool is not installed (scripts/setup.sh --tests installs it)"; done
}

daemon() { "${@:2}" >"$sess/$1" 2>&1 </dev/null & pids+=($!); }

start_session_bus() {
    mkfifo "$sess/dbus.address"
    cat >"$sess/dbus.conf" <<EOF
<busconfig><type>session</type><listen>unix:path=$XDG_RUNTIME_DIR/bus</listen><auth>EXTERNAL</auth>
  <servicedir>$sess/services</servicedir>
  <policy context="default"><allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
EOF
    # (The fifo is opened by the background process: opened here, it would wait for the reader below.)
    dbus-daemon --nofork --config-file="$sess/dbus.conf" --print-address=3 \
        3>"$sess/dbus.address" >"$sess/dbus.log" 2>&1 </dev/null &
    pids+=($!)
    read -r -t 10 DBUS_SESSION_BUS_ADDRESS <"$sess/dbus.address"
    [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || setup_failed "the D-Bus session bus did not start"
    export DBUS_SESSION_BUS_ADDRESS
}

private_home() {
    export HOME=$root/home XDG_CONFIG_HOME=$root/home/.config XDG_CACHE_HOME=$root/home/.cache \
        XDG_DATA_HOME=$root/home/.local/share
}

run_command() {
    export SCRAWLIX_BIN=$bin E2E_TMP=$root
    set -m
    "$@" &
    cmd_pid=$!
    set +m
    wait "$cmd_pid"
    status=$?
    exit "$status"
}
