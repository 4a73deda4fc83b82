#!/usr/bin/env bash
# Runs one command inside a private X session, then tears the session down (also on failure or a signal).
#
#   tests/e2e/session.sh COMMAND [ARG...]
#
# The session: Xvfb on a free display (96 dpi, no TCP, MIT-SHM), a private D-Bus session bus, openbox as
# window manager and tint2 showing a system tray in a 30 px panel at the bottom of the screen.
# The command gets, all fresh and empty: HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME, XDG_DATA_HOME,
# XDG_RUNTIME_DIR (0700) and XDG_CONFIG_DIRS (a folder of its own, so nothing machine-wide leaks in);
# and DISPLAY, DBUS_SESSION_BUS_ADDRESS, SCRAWLIX_BIN (absolute path of the program under test) and
# E2E_TMP (the session's temporary root, for artefacts such as screenshots and logs).
#
# Environment:
#   SCRAWLIX_SCREEN  screen as WIDTHxHEIGHTxDEPTH (default 1920x1080x24)
#   SCRAWLIX_BIN     the program (default: build/scrawlix of this checkout)
#   E2E_KEEP=1       keep the temporary root even when the command succeeds
#
# Exit status: the command's; 125 when the session itself could not be set up. After a failure the
# temporary root is kept and its path printed.
# shellcheck disable=SC2317 # functions called from traps and through poll
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
checkout=$(cd "$here/../.." && pwd)

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi

screen=${SCRAWLIX_SCREEN:-1920x1080x24}
bin=${SCRAWLIX_BIN:-$checkout/build/scrawlix}
case $bin in /*) ;; *) bin=$PWD/$bin ;; esac

root=$(mktemp -d "${TMPDIR:-/tmp}/scrawlix-e2e.XXXXXX") || exit 125
sess=$root/session
mkdir -p "$sess" "$root/home/.config" "$root/home/.cache" "$root/home/.local/share" "$root/xdg-config-dirs"
mkdir -m 0700 "$root/run"

daemon_pids=() # started in this order, stopped in reverse
cmd_pid=""     # the command, leader of its own process group when it runs in the background
status=125

# Time and naps without starting a process: this runs on busy machines, where each fork counts.
now_ms() { local t=${EPOCHREALTIME/./}; REPLY=$((t / 1000)); }
now_ms
started_ms=$REPLY
mkfifo "$sess/nap"
exec {nap_fd}<>"$sess/nap"
nap() { read -r -t "$1" -u "$nap_fd" _ || :; }

note() { echo "session: $*" >&2; }

# Sends TERM to the given pids, waits up to 2 s for them to go, then KILLs what is left.
stop_pids() {
    local pid deadline left
    [ $# -eq 0 ] && return 0
    now_ms
    deadline=$((REPLY + 2000))
    kill -TERM "$@" 2>/dev/null
    while :; do
        left=()
        for pid in "$@"; do kill -0 "$pid" 2>/dev/null && left+=("$pid"); done
        [ ${#left[@]} -eq 0 ] && break
        now_ms
        if [ "$REPLY" -ge "$deadline" ]; then
            kill -KILL "${left[@]}" 2>/dev/null
            break
        fi
        nap 0.01
    done
    for pid in "$@"; do wait "$pid" 2>/dev/null; done
    return 0
}

teardown() {
    trap - EXIT INT TERM HUP
    # Whatever the command left behind in its process group (a program it started and did not stop).
    if [ -n "$cmd_pid" ]; then
        kill -TERM -- "-$cmd_pid" 2>/dev/null && nap 0.05
        kill -KILL -- "-$cmd_pid" 2>/dev/null
        wait "$cmd_pid" 2>/dev/null
    fi
    local reversed=() i
    for ((i = ${#daemon_pids[@]} - 1; i >= 0; i--)); do reversed+=("${daemon_pids[i]}"); done
    stop_pids "${reversed[@]}"
    if [ "$status" -ne 0 ]; then
        note "exit status $status; artefacts and session logs kept in $root"
    elif [ "${E2E_KEEP:-}" = 1 ]; then
        note "kept $root"
    else
        rm -rf "$root"
    fi
}

on_signal() {
    status=$((128 + $1))
    note "interrupted by signal $1"
    exit "$status"
}
trap teardown EXIT
trap 'on_signal 2' INT
trap 'on_signal 15' TERM
trap 'on_signal 1' HUP

setup_failed() {
    note "cannot set up the X session: $*"
    local f
    for f in "$sess"/*.log; do
        [ -s "$f" ] || continue
        echo "---- $(basename "$f") (last lines)" >&2
        tail -n 15 "$f" >&2
    done
    status=125
    exit 125
}

# Polls CMD every 20 ms for up to SECONDS (whole) seconds.
poll() {
    local seconds=$1 deadline
    shift
    now_ms
    deadline=$((REPLY + seconds * 1000))
    until "$@"; do
        now_ms
        [ "$REPLY" -ge "$deadline" ] && return 1
        nap 0.02
    done
}

for tool in Xvfb dbus-daemon openbox tint2 xprop xwininfo; do
    command -v "$tool" >/dev/null || setup_failed "$tool is not installed (scripts/setup.sh --tests installs it)"
done

# The environment of the session's own programs and of the command.
unset WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER DESKTOP_SESSION XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP \
    XDG_DATA_HOME XDG_STATE_HOME DBUS_SESSION_BUS_ADDRESS LC_ALL LANGUAGE \
    QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
    QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_SCALE_FACTOR_ROUNDING_POLICY \
    GDK_SCALE GDK_BACKEND
export LANG=C.UTF-8
export XDG_SESSION_TYPE=x11
export XDG_RUNTIME_DIR=$root/run
export XDG_CONFIG_DIRS=$root/xdg-config-dirs

# --- X server -------------------------------------------------------------------------------------
# -displayfd makes Xvfb pick a free display itself and write its number once it accepts connections.
mkfifo "$sess/displayfd"
Xvfb -displayfd 3 -screen 0 "$screen" -dpi 96 -nolisten tcp -noreset +extension MIT-SHM -s 0 \
    3>"$sess/displayfd" >"$sess/xvfb.log" 2>&1 </dev/null {nap_fd}<&- &
daemon_pids+=($!)
display_number=""
read -r -t 20 display_number <"$sess/displayfd"
case $display_number in
    '' | *[!0-9]*) setup_failed "Xvfb did not report a display (screen '$screen')" ;;
esac
export DISPLAY=:$display_number

# --- session bus: private, no service activation, so nothing of the machine's starts on it ----------
cat >"$sess/dbus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$XDG_RUNTIME_DIR/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
mkfifo "$sess/dbus.address"
dbus-daemon --nofork --config-file="$sess/dbus.conf" --print-address=3 \
    3>"$sess/dbus.address" >"$sess/dbus.log" 2>&1 </dev/null {nap_fd}<&- &
daemon_pids+=($!)

# --- window manager and panel: their own configuration and home, outside the command's HOME ---------
mkdir -p "$sess/home/.config" "$sess/home/.cache" "$sess/home/.local/share"
cat >"$sess/openbox-rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <desktops><number>1</number></desktops>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <menu><file>menu.xml</file></menu>
  <keyboard/>
  <mouse>
    <dragThreshold>3</dragThreshold>
    <doubleClickTime>500</doubleClickTime>
    <context name="Frame">
      <mousebind button="A-Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="A-Left" action="Drag"><action name="Move"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
  </mouse>
</openbox_config>
EOF
mkdir -p "$sess/home/.config/openbox"
echo '<openbox_menu xmlns="http://openbox.org/3.4/menu"/>' >"$sess/home/.config/openbox/menu.xml"

cat >"$sess/tint2rc" <<'EOF'
# A bare panel along the bottom edge holding only a system tray.
panel_items = S
panel_size = 100% 30
panel_margin = 0 0
panel_padding = 4 0 4
panel_position = bottom center horizontal
panel_layer = top
panel_monitor = all
panel_dock = 0
wm_menu = 0
autohide = 0
strut_policy = follow_size
disable_transparency = 1
systray_padding = 0 3 4
systray_sort = ascending
systray_icon_size = 24
systray_icon_asb = 100 0 0
systray_monitor = 1
EOF

session_env=(env HOME="$sess/home" XDG_CONFIG_HOME="$sess/home/.config" XDG_CACHE_HOME="$sess/home/.cache"
    XDG_DATA_HOME="$sess/home/.local/share")
"${session_env[@]}" openbox --sm-disable --config-file "$sess/openbox-rc.xml" >"$sess/openbox.log" 2>&1 </dev/null \
    {nap_fd}<&- &
daemon_pids+=($!)

alive() { kill -0 "$1" 2>/dev/null; }
mark() {
    [ -n "${E2E_VERBOSE:-}" ] || return 0
    now_ms
    note "$1 after $((REPLY - started_ms)) ms"
}

wm_ready() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]; }

# The tray manager marks the window that owns _NET_SYSTEM_TRAY_S0 with _NET_SYSTEM_TRAY_ORIENTATION and
# takes the selection in the same breath; that window is a child of the root. Looking at every child
# costs a process each, so the search waits for tint2 to say it has started its tray (or for 3 s, should
# its wording ever change).
tray_announced() {
    local log=""
    { read -r -d '' log <"$sess/tint2.log"; } 2>/dev/null
    [[ $log == *"systray started"* ]]
}
tray_owned() {
    local w
    for w in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'); do
        [[ $(xprop -id "$w" _NET_SYSTEM_TRAY_ORIENTATION 2>/dev/null) == *" = "* ]] && return 0
    done
    return 1
}
tray_ready() {
    alive "$tint2_pid" || return 1
    now_ms
    if [ "$REPLY" -lt "$tray_patience" ] && ! tray_announced; then return 1; fi
    tray_owned
}

mark "X server up"
dbus_address=""
read -r -t 10 dbus_address <"$sess/dbus.address"
[ -n "$dbus_address" ] || setup_failed "the D-Bus session bus did not start"
export DBUS_SESSION_BUS_ADDRESS=$dbus_address
poll 15 wm_ready || setup_failed "openbox did not take over the screen"
mark "window manager up"
# tint2 started before the window manager is up sleeps for a good while before it starts its tray.
"${session_env[@]}" tint2 -c "$sess/tint2rc" >"$sess/tint2.log" 2>&1 </dev/null {nap_fd}<&- &
daemon_pids+=($!)
tint2_pid=$!
now_ms
tray_patience=$((REPLY + 3000))
poll 15 tray_ready || setup_failed "tint2 did not start a system tray"
mark "tray up"

# --- the command -------------------------------------------------------------------------------------
export HOME=$root/home
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
export SCRAWLIX_BIN=$bin
export E2E_TMP=$root
mark "ready on $DISPLAY ($root)"

if [ -t 0 ] && [ -t 1 ]; then
    # At a terminal the command keeps it (an interactive shell, say); signals reach it directly.
    "$@" {nap_fd}<&-
    status=$?
else
    # In the background, in a process group of its own, so a signal to us ends it and what it started.
    set -m
    "$@" {nap_fd}<&- &
    cmd_pid=$!
    set +m
    wait "$cmd_pid"
    status=$?
fi
exit "$status"
