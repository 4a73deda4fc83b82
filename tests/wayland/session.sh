#!/usr/bin/env bash
# session.sh COMMAND [ARG...]: runs COMMAND in a private headless Wayland session: sway (XWayland
# on) with a D-Bus session bus, PipeWire, the desktop portal with its wlroots screenshot backend, the
# stand-ins of standin.py (access, notifications) and a StatusNotifier watcher for the tray. As root,
# everything runs as nobody (sway refuses root), from copies of the program and of the test scripts.
#   WL_DESKTOP=kde       KWin instead (with kglobalaccel), KDE's portal backend, the program's desktop
#                        entry granting KWin's screenshot interface; the stand-in only for
#                        notifications, and no tray
#   WL_DESKTOP=gnome     GNOME Shell instead, with GNOME's portal backend, the shell's own permission
#                        dialog and notifications; no tray, no global shortcuts; the stand-in only
#                        watches the notices and takes the scenarios' screenshots
#   WL_PORTAL=0          no portal front end at all
#   WL_SHORTCUTS=MODE    the stand-in also implements global shortcuts: 1 (as documented), kde (as
#                        KDE's backend does), unbound (answers without the shortcut); 0: none
#   WL_SCREENSHOT=standin  the stand-in answers Screenshot, as a permission dialog would (standin.py)
#   WL_TRAY=0            no StatusNotifier watcher: a desktop without a tray
#   WL_NOTIFICATIONS=0   no notification service either
# COMMAND sees WAYLAND_DISPLAY, DISPLAY (XWayland), SWAYSOCK, E2E_TMP, SCRAWLIX_BIN and STANDIN_LOG.
# Exits with COMMAND's status (125: no session); after a failure E2E_TMP is kept.
# shellcheck disable=SC2317 # functions called through poll
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../e2e/session_lib.sh"

if [ "$(id -u)" = 0 ]; then
    command -v setpriv >/dev/null || { echo "session: setpriv is missing" >&2; exit 125; }
    root=$(mktemp -d "${TMPDIR:-/tmp}/scrawlix-wl.XXXXXX") || exit 125
    # nobody may not be able to read the build or the checkout (under /root, say): it gets copies.
    tests=$(cd "$here/.." && pwd)
    mkdir -p "$root/bin" "$root/tests"
    cp "$bin" "$root/bin/scrawlix"
    # KWin's file capability is refused here; a copy runs without it.
    [ "${WL_DESKTOP:-sway}" = kde ] && cp "$(command -v kwin_wayland)" "$root/bin/kwin_wayland"
    [ -f "$(dirname "$bin")/Scrawlix_Help.chm" ] && cp "$(dirname "$bin")/Scrawlix_Help.chm" "$root/bin/"
    for v in SCRAWLIX_PATTERN SCRAWLIX_MUTTER_DISPLAY SCRAWLIX_XWATCH; do # the helpers, under the names they had
        [ -n "${!v:-}" ] && cp "${!v}" "$root/bin/" && export "$v=$root/bin/${!v##*/}"
    done
    cp -r "$tests/e2e" "$tests/wayland" "$root/tests/"
    mkdir -p "$root/bench" "$root/packaging" && cp "$tests/../bench/wayland_runs.sh" "$root/bench/" &&
        cp "$tests/../packaging/io.github.scrawlix.Scrawlix.desktop.in" "$root/packaging/"
    args=()
    checkout=$(dirname "$tests")
    for a in "$@"; do a=${a/#$tests\//$root/tests/}; args+=("${a/#$checkout\/bench\//$root/bench/}"); done
    chown -R 65534:65534 "$root"
    chmod 0755 "$root"
    SCRAWLIX_BIN=$root/bin/scrawlix WL_ROOT=$root setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all \
        bash "$root/tests/wayland/session.sh" "${args[@]}"
    status=$?
    [ "$status" = 0 ] && rm -rf "$root"
    exit "$status"
fi

session_begin Wayland wl "${WL_ROOT:-}"
mkdir -p "$root/portals"
# KWin's start-up leaves a process running, and a socket file made for it.
teardown_more() {
    [ -s "$sess/started.pid" ] && kill "$(cat "$sess/started.pid")" 2>/dev/null
    [ -n "${kwin_display:-}" ] && rm -f "/tmp/.X11-unix/X$kwin_display"
}

desktop=${WL_DESKTOP:-sway}
tools=(Xwayland grim dbus-daemon pipewire python3 xdotool)
case $desktop in
    kde) tools+=(kwin_wayland kbuildsycoca5) ;;
    gnome) tools+=(gnome-shell gjs) ;;
    *) tools+=(sway swaymsg status-notifier-watcher) ;;
esac
need "${tools[@]}"
portal=/usr/libexec/xdg-desktop-portal
wlr=/usr/libexec/xdg-desktop-portal-wlr
[ -x "$portal" ] && [ -x "$wlr" ] || setup_failed "xdg-desktop-portal(-wlr) is not installed"

private_home
XDG_CURRENT_DESKTOP=$(case $desktop in kde) echo KDE ;; gnome) echo GNOME ;; *) echo sway ;; esac)
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP
# The services that the bus starts on demand: none, but for what a desktop below adds.
start_session_bus

# A free X display of our own: KWin would take the first free one, which another session's server
# may hold through the abstract socket that this one cannot see as a file. display_taken N: display N
# is in use, or its lock or socket, left by a server killed hard, belongs to another user.
display_taken() {
    local lock=/tmp/.X$1-lock sock=/tmp/.X11-unix/X$1 pid
    if [ -e "$lock" ]; then
        [ -O "$lock" ] || return 0
        pid=$(tr -dc 0-9 <"$lock" 2>/dev/null)
        [ -n "$pid" ] && [ -d "/proc/$pid" ] && return 0
    fi
    grep -qE " @?/tmp/\.X11-unix/X$1\$" /proc/net/unix && return 0
    [ -e "$sock" ] && [ ! -O "$sock" ] && return 0
    return 1
}

# hold NAME [SECS]: locks /tmp/.scrawlix-NAME.hold for the rest of this session, through a descriptor
# (`held`) that the session's processes inherit; waits up to SECS for another session to let go, or
# not at all. What two test runs side by side would otherwise share: X displays, and a file below.
hold() {
    local file=/tmp/.scrawlix-$1.hold
    [ -e "$file" ] || : >>"$file" 2>/dev/null
    [ -r "$file" ] || return 1
    exec {held}<"$file"
    if [ -n "${2:-}" ]; then flock -w "$2" "$held"; else flock -n "$held"; fi && return 0
    exec {held}<&-
    return 1
}

# claim_display [COUNT]: sets `display` to the first of COUNT free displays in a row (GNOME Shell
# takes two), held: two sessions starting at once would otherwise both find the same display free,
# and the second server would fail to take it.
claim_display() {
    local n m fd fds
    for n in $(seq 40 199); do
        fds=()
        for ((m = n; m < n + ${1:-1}; m++)); do
            hold "X$m" || break
            fds+=("$held")
            display_taken "$m" && break
        done
        ((m == n + ${1:-1})) && display=$n && return 0
        for fd in "${fds[@]}"; do exec {fd}<&-; done
    done
    return 1
}

start_kwin() {
    local n
    claim_display || setup_failed "no free X display"
    n=$display
    # What KWin reads when it starts: no lock screen, and the program's grant of the screenshot
    # interface, by its full path (as the installed desktop entry has it).
    mkdir -p "$XDG_DATA_HOME/applications"
    sed -e "0,/^Exec=/s|^Exec=[^ ]*scrawlix|Exec=$bin|" "$here/../../packaging/io.github.scrawlix.Scrawlix.desktop.in" \
        >"$XDG_DATA_HOME/applications/io.github.scrawlix.Scrawlix.desktop"
    # The same grant for the interpreter of the scenarios' own screenshots (kwinshot.py): a copy
    # of its own, since KWin takes the grant of the first entry that runs the same file, and the
    # system's python3.11.desktop may come first.
    cp "$(readlink -f /usr/bin/python3)" "$sess/kwinshot-python"
    export KWINSHOT_PYTHON=$sess/kwinshot-python
    printf '[Desktop Entry]\nType=Application\nName=kwinshot\nNoDisplay=true\nExec=%s\nX-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2\n' \
        "$KWINSHOT_PYTHON" >"$XDG_DATA_HOME/applications/scrawlix-test-kwinshot.desktop"
    # KDE lists applications through its menu file, which the private config folders lack.
    mkdir -p "$XDG_CONFIG_DIRS/menus"
    cp /etc/xdg/menus/kf5-applications.menu "$XDG_CONFIG_DIRS/menus/"
    printf '[Daemon]\nAutolock=false\nLockOnResume=false\n' >"$XDG_CONFIG_HOME/kscreenlockerrc"
    # The applications' cache, built once before KWin and the portal start: each would otherwise
    # build it at its first question, both at once, and KWin may find no grant in a cache half made.
    kbuildsycoca5 --noincremental >"$sess/sycoca.log" 2>&1 || setup_failed "kbuildsycoca5 failed"
    # KWin runs it once it is up; what it leaves running outlives KWin, so teardown ends it by the
    # number it writes.
    printf '#!/bin/sh\necho $$ >"%s"\nprintf "%%s %%s\\n" "$WAYLAND_DISPLAY" "$DISPLAY" >"%s"\nexec sleep infinity\n' \
        "$sess/started.pid" "$sess/displays" >"$sess/started.sh"
    chmod +x "$sess/started.sh"
    # KWin listens for X clients on sockets we make: the file and the abstract name.
    python3 - "$n" "$sess" <<'EOP' &
import os, socket, sys
n, sess = sys.argv[1], sys.argv[2]
fds = []
for name in ("/tmp/.X11-unix/X" + n, "\0/tmp/.X11-unix/X" + n):
    if not name.startswith("\0") and os.path.exists(name):
        os.unlink(name)  # left by a server that is gone (claim_display checked)
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.bind(name)
    s.listen(16)
    os.set_inheritable(s.fileno(), True)
    fds += ["--xwayland-fd", str(s.fileno())]
w, h = os.environ.get("WL_SCREEN", "1280x720").split("x")
kwin = os.path.join(os.path.dirname(os.environ["KWIN_BIN"]), "kwin_wayland")
os.execv(kwin, [kwin, "--virtual", "--xwayland", "--width", w, "--height", h, "--socket", "wl-scrawlix",
                "--xwayland-display", ":" + n, *fds, sess + "/started.sh"])
EOP
    pids+=($!)
    kwin_display=$n
}

start_gnome() {
    local n
    claim_display 2 || setup_failed "no two free X displays"
    n=$display
    [ -r "${SCRAWLIX_MUTTER_DISPLAY:-}" ] || setup_failed "no library to choose GNOME Shell's X display (SCRAWLIX_MUTTER_DISPLAY)"
    # The shell asks the system bus for logins, accounts and the like: a private one, with none.
    cat >"$sess/system.conf" <<EOC
<busconfig><type>system</type><listen>unix:path=$XDG_RUNTIME_DIR/system_bus</listen><auth>EXTERNAL</auth>
  <policy context="default"><allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/></policy>
</busconfig>
EOC
    daemon system-bus.log dbus-daemon --nofork --config-file="$sess/system.conf"
    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/system_bus
    poll 10 test -S "$XDG_RUNTIME_DIR/system_bus" || setup_failed "the private system bus did not start"
    # The shell starts its notification service through the bus.
    cp /usr/share/dbus-1/services/org.gnome.Shell.Notifications.service "$sess/services/"
    # Settings in a file: no banners over the screen that the scenarios read, no animations.
    export GSETTINGS_BACKEND=keyfile
    mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
    printf '[org/gnome/desktop/notifications]\nshow-banners=false\n\n[org/gnome/desktop/interface]\nenable-animations=false\n' \
        >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
    SCRAWLIX_MUTTER_X_DISPLAY=$n LD_PRELOAD=$SCRAWLIX_MUTTER_DISPLAY daemon gnome-shell.log gnome-shell --headless \
        --wayland --virtual-monitor "${WL_SCREEN:-1280x720}" --wayland-display wl-scrawlix
    export WAYLAND_DISPLAY=wl-scrawlix DISPLAY=:$n
    shell_overview() {
        dbus-send --session --print-reply --dest=org.gnome.Shell /org/gnome/Shell org.freedesktop.DBus.Properties.Get \
            string:org.gnome.Shell string:OverviewActive 2>/dev/null | grep -q "boolean $1"
    }
    # The shell starts in its overview, once it has started; the desktop is what a user sees after.
    poll 60 shell_overview true || setup_failed "GNOME Shell did not start"
    dbus-send --session --print-reply --dest=org.gnome.Shell /org/gnome/Shell org.freedesktop.DBus.Properties.Set \
        string:org.gnome.Shell string:OverviewActive variant:boolean:false >/dev/null
    poll 10 shell_overview false || setup_failed "GNOME Shell stays in its overview"
    have_auth() { ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* >/dev/null 2>&1; }
    poll 10 have_auth || setup_failed "GNOME Shell made no X authority for XWayland"
    XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* | head -1)
    export XAUTHORITY
}

# What sway, or the program KWin runs once it is up, writes: "WAYLAND_DISPLAY DISPLAY".
have_displays() { [ -s "$sess/displays" ] && [ "$(wc -w <"$sess/displays")" = 2 ]; }
start_sway() {
    # No bar (our stand-in is the tray's watcher), no borders, and the program's windows float where
    # they ask to be, as on a floating desktop.
    cat >"$sess/sway.conf" <<EOC
xwayland force
output HEADLESS-1 resolution ${WL_SCREEN:-1280x720} position 0 0 scale 1
default_border none
default_floating_border none
focus_follows_mouse no
focus_on_window_activation focus
for_window [class="(?i)scrawlix"] floating enable
exec sh -c 'printf "%s %s\n" "\$WAYLAND_DISPLAY" "\$DISPLAY" >"$sess/displays"'
EOC
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 daemon sway.log sway -c "$sess/sway.conf"
    poll 20 have_displays || setup_failed "sway did not start with XWayland"
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -1)
    export SWAYSOCK
}

if [ "$desktop" = kde ]; then
    mkdir -p /tmp/.X11-unix 2>/dev/null
    KWIN_BIN=$(dirname "$bin")/kwin_wayland
    [ -x "$KWIN_BIN" ] || KWIN_BIN=$(command -v kwin_wayland)
    export KWIN_BIN
    start_kwin >"$sess/kwin.log" 2>&1 </dev/null
    poll 30 have_displays || setup_failed "KWin did not start with XWayland"
elif [ "$desktop" = gnome ]; then
    start_gnome
else
    start_sway
fi
[ "$desktop" = gnome ] || { read -r WAYLAND_DISPLAY DISPLAY <"$sess/displays" && export WAYLAND_DISPLAY DISPLAY; }
x_ready() { xdpyinfo >/dev/null 2>&1 || xprop -root >/dev/null 2>&1; }
poll 20 x_ready || setup_failed "XWayland does not answer on $DISPLAY"

export STANDIN_LOG=$root/standin.log
: >"$STANDIN_LOG"
standin=()
case ${WL_SHORTCUTS:-0} in 0) ;; 1) standin+=(--shortcuts standard) ;; *) standin+=(--shortcuts "$WL_SHORTCUTS") ;; esac
[ "${WL_SCREENSHOT:-}" = standin ] && standin+=(--screenshot)
[ "${WL_NOTIFICATIONS:-1}" = 0 ] && standin+=(--no-notifications)
[ "$desktop" = gnome ] && standin+=(--no-notifications --watch-notifications --gnome-shots)
daemon standin.log python3 -u "$here/standin.py" --name org.freedesktop.impl.portal.desktop.scrawlixtest \
    --log "$STANDIN_LOG" "${standin[@]}"
poll 10 grep -q ready "$sess/standin.log" || setup_failed "the stand-in services did not start"
if [ "${WL_TRAY:-1}" = 1 ] && [ "$desktop" = sway ]; then
    daemon watcher.log status-notifier-watcher
    host() { dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost string:org.kde.StatusNotifierHost-wayland >/dev/null 2>&1; }
    poll 10 host || setup_failed "the StatusNotifier watcher did not start"
fi

has_name() { dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'; }
if [ "$desktop" = kde ]; then
    # KDE's own backend, and nothing else: the frontend would fall back to any backend installed.
    kde=$(ls /usr/lib/*/libexec/xdg-desktop-portal-kde 2>/dev/null | head -1)
    [ -x "$kde" ] || setup_failed "xdg-desktop-portal-kde is not installed"
    mkdir -p "$HOME/Pictures" # where its screenshots go
    QT_QPA_PLATFORM=xcb daemon portal-kde.log "$kde"
    poll 15 has_name org.freedesktop.impl.portal.desktop.kde || setup_failed "xdg-desktop-portal-kde did not start"
    # KWin learns of the desktop entries' grants from its service cache, which it may read again a
    # moment after it started: the session is ready once the grant holds.
    granted() { "$KWINSHOT_PYTHON" "$here/kwinshot.py" -t ppm /dev/null 2>"$sess/granted.log"; }
    poll 20 granted || setup_failed "KWin does not grant its screenshot interface to the session's desktop entries: $(tail -1 "$sess/granted.log")"
    cp /usr/share/xdg-desktop-portal/portals/kde.portal "$root/portals/"
elif [ "$desktop" = gnome ]; then
    poll 15 has_name org.freedesktop.Notifications || setup_failed "GNOME Shell's notification service did not start"
    # The shell lets the stand-in read the screen once it has seen it take its name.
    shot_ok() { dbus-send --session --print-reply --reply-timeout=5000 --dest=org.freedesktop.impl.portal.desktop.scrawlixtest \
        /org/freedesktop/portal/desktop org.scrawlix.Test.Control.Shoot "string:$sess/first-shot.png" \
        int32:0 int32:0 int32:0 int32:0 >/dev/null 2>"$sess/shot.log"; }
    poll 10 shot_ok || setup_failed "GNOME Shell does not let the stand-in read the screen: $(cat "$sess/shot.log")"
    for p in xdg-permission-store xdg-desktop-portal-gnome; do [ -x "/usr/libexec/$p" ] || setup_failed "$p is not installed"; done
    daemon permission-store.log /usr/libexec/xdg-permission-store
    GTK_A11Y=none daemon portal-gnome.log /usr/libexec/xdg-desktop-portal-gnome
    poll 15 has_name org.freedesktop.impl.portal.desktop.gnome || setup_failed "xdg-desktop-portal-gnome did not start"
    poll 15 has_name org.freedesktop.impl.portal.PermissionStore || setup_failed "the permission store did not start"
    # GNOME's backend, and the shell's permission dialog (its Access backend).
    cp /usr/share/xdg-desktop-portal/portals/gnome.portal /usr/share/xdg-desktop-portal/portals/gnome-shell.portal "$root/portals/"
elif [ "${WL_PORTAL:-1}" = 1 ]; then
    daemon pipewire.log pipewire
    poll 10 eval '[ -S "$XDG_RUNTIME_DIR/pipewire-0" ]' || setup_failed "pipewire did not start"
    # xdg-desktop-portal-wlr writes every screenshot to /tmp/out.png: CTest runs one such session at a
    # time (a resource lock), and this keeps the sessions of another run away too.
    hold wlr-out 200 || setup_failed "another session's xdg-desktop-portal-wlr kept /tmp/out.png for 200 s"
    daemon wlr.log "$wlr" -l WARN
    poll 15 has_name org.freedesktop.impl.portal.desktop.wlr || setup_failed "xdg-desktop-portal-wlr did not start"
    interfaces="org.freedesktop.impl.portal.Access;"
    # One backend per interface: the stand-in's Screenshot replaces wlroots'.
    if [ "${WL_SCREENSHOT:-}" = standin ]; then
        interfaces+="org.freedesktop.impl.portal.Screenshot;"
    else
        cp /usr/share/xdg-desktop-portal/portals/wlr.portal "$root/portals/"
    fi
    [ "${WL_SHORTCUTS:-0}" != 0 ] && interfaces+="org.freedesktop.impl.portal.GlobalShortcuts;"
    printf '[portal]\nDBusName=org.freedesktop.impl.portal.desktop.scrawlixtest\nInterfaces=%s\nUseIn=sway\n' \
        "$interfaces" >"$root/portals/scrawlixtest.portal"
fi
if [ "$desktop" != sway ] || [ "${WL_PORTAL:-1}" = 1 ]; then # the front end, with the backends in root/portals
    XDG_DESKTOP_PORTAL_DIR=$root/portals daemon portal.log "$portal" -r
    poll 15 has_name org.freedesktop.portal.Desktop || setup_failed "xdg-desktop-portal did not start"
fi

run_command "$@"
