#!/usr/bin/env bash
# The command line and the one running program a session has: what a later start, --open, --exit
# and the D-Bus interface do, with and without a session bus, and what needs no display at all.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

# later [ARG...]: a later start, in the foreground; its status in LATER_STATUS, its output in LATER_OUT.
later() {
    LATER_STATUS=0
    LATER_OUT=$(timeout 20 "$SCRAWLIX_BIN" "$@" 2>&1 </dev/null) || LATER_STATUS=$?
    [ "$LATER_STATUS" != 124 ] || fail "scrawlix $*: still running after 20 s (a second program?)"
}
expect_later_ok() { later "$@"; [ "$LATER_STATUS" = 0 ] || fail "scrawlix $*: status $LATER_STATUS: $LATER_OUT"; }

t_no_display() {
    section "--version and --help without a display"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$SCRAWLIX_BIN" --version) || fail "--version failed"
    expect_eq "--version" "Scrawlix 5.0.68" "$out"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$SCRAWLIX_BIN" --help) || fail "--help failed"
    [[ $out == Usage:* && $out == *--capture-window* && $out == *"--open [FILE]"* ]] || fail "--help printed: $out"
    status=0
    out=$(env -u DISPLAY "$SCRAWLIX_BIN" --frobnicate 2>&1) || status=$?
    [ "$status" = 2 ] && [[ $out == *"unknown option '--frobnicate'"* ]] || fail "a bad option: status $status, '$out'"
}

t_action_starts() {
    section "an action with no program running starts one, which runs it"
    start_scrawlix_settled --capture-screen
    wait_canvas 0 0 1920 1080
    wait_for 10 eval '[ -n "$(tray_icon)" ]' || fail "no tray icon"
}

t_later_plain() {
    section "a later plain start: one tray icon before and after, and a notification"
    start_in_tray
    expect_eq "tray icons before" 1 "$(tray_icon_count)"
    icon=$(tray_icon)
    expect_later_ok
    holds_for 1 eval '[ "$(tray_icon_count)" = 1 ]' || fail "$(tray_icon_count) tray icons after a later start"
    wait_for 5 _menu_shown "$icon" || fail "no notification popped up: $(program_windows)"
    scrawlix_running || fail "the running program ended"
}

t_capture_window() {
    section "--capture-window takes the active window, Ctrl not pressed"
    start_in_tray
    target_window 400 300 600 300
    xdotool keyup ctrl
    target_captured check expect_later_ok --capture-window
}

t_open() {
    section "--open FILE, relative to the later start's folder, shows the file"
    start_in_tray
    mkdir -p "$E2E_TMP/pictures"
    convert -size 300x200 xc:'#d0d030' -fill '#3030d0' -draw 'rectangle 150,100 299,199' "BMP3:$E2E_TMP/pictures/given.bmp"
    (cd "$E2E_TMP/pictures" && expect_later_ok --open given.bmp)
    wait_canvas 0 0 300 200
    screenshot opened.png
    expect_eq "a yellow pixel" "208,208,48" "$(pixel opened.png 20 20)"
    expect_eq "a blue pixel" "48,48,208" "$(pixel opened.png 200 150)"
    later --open "$E2E_TMP/pictures/missing.bmp"
    [ "$LATER_STATUS" = 1 ] && [[ $LATER_OUT == *missing.bmp* ]] || fail "a missing file: status $LATER_STATUS, '$LATER_OUT'"
}

t_not_utf8() {
    section "a file whose name is not UTF-8 is opened, from the command line as from a file manager"
    start_in_tray
    mkdir -p "$E2E_TMP/pictures"
    convert -size 240x160 xc:'#d03030' "BMP3:$E2E_TMP/pictures/"$'caf\xe9 \xff.bmp'
    expect_later_ok --open "$E2E_TMP/pictures/"$'caf\xe9 \xff.bmp'
    wait_canvas 0 0 240 160
    send_to_tray
    (cd "$E2E_TMP/pictures" && expect_later_ok $'caf\xe9 \xff.bmp')
    wait_canvas 0 0 240 160
}

# dbus_open PYTHON-EXPRESSION: Open with the string it makes; prints the error's name, if any.
dbus_open() {
    /usr/bin/python3 - "$1" <<'PY'
import sys
import dbus
o = dbus.SessionBus().get_object("io.github.scrawlix.Scrawlix", "/io/github/scrawlix/Scrawlix")
try:
    o.Open(eval(sys.argv[1]), dbus_interface="io.github.scrawlix.Scrawlix", timeout=60)
except dbus.DBusException as e:
    print(e.get_dbus_name())
PY
}

t_dbus_open_long() {
    section "Open over D-Bus: a name longer than the system takes is refused at once"
    start_in_tray
    for name in '"/tmp/" + "a" * (1 << 20)' '"/tmp/" + "\n" * 5000 + ".bmp"'; do
        start=${EPOCHREALTIME/./}
        answer=$(dbus_open "$name")
        took=$(((${EPOCHREALTIME/./} - start) / 1000))
        expect_eq "the answer to Open($name)" org.freedesktop.DBus.Error.InvalidArgs "$answer"
        ((took < 2000)) || fail "Open($name) took $took ms"
    done
    expect_later_ok --capture-screen
    wait_canvas 0 0 1920 1080
}

t_bus_methods() {
    section "the bus has a method for each request, and refuses a call it has no method for"
    start_in_tray
    bus_answers=$(/usr/bin/python3 - <<'PY'
import dbus
import xml.etree.ElementTree as ET
# Not introspected, so that each call goes out with the arguments given, right or wrong.
o = dbus.SessionBus().get_object("io.github.scrawlix.Scrawlix", "/io/github/scrawlix/Scrawlix",
                                 introspect=False)
xml = o.Introspect(dbus_interface="org.freedesktop.DBus.Introspectable")
for i in ET.fromstring(xml).iter("interface"):
    if i.get("name") == "io.github.scrawlix.Scrawlix":
        print(" ".join(m.get("name") + "(" + "".join(a.get("type") for a in m.iter("arg")) + ")"
                       for m in i.iter("method")))
for method, args in (("Frobnicate", ()), ("Open", ()), ("Show", ("x",))):
    try:
        getattr(o, method)(*args, dbus_interface="io.github.scrawlix.Scrawlix", timeout=10)
        print(method, "taken")
    except dbus.DBusException as e:
        print(method, e.get_dbus_name())
PY
    )
    expect_eq "methods, and the answers to wrong calls" "Activate() CaptureScreen() CaptureWindow() ShowToolbox() Show() Open(s) About() Configuration() ShowHelp() SendToTray() Exit()
Frobnicate org.freedesktop.DBus.Error.UnknownMethod
Open org.freedesktop.DBus.Error.UnknownMethod
Show org.freedesktop.DBus.Error.UnknownMethod" "$bus_answers"
    gdbus call --session --dest io.github.scrawlix.Scrawlix --object-path /io/github/scrawlix/Scrawlix \
        --method io.github.scrawlix.Scrawlix.CaptureScreen >/dev/null || fail "CaptureScreen on the bus failed"
    wait_canvas 0 0 1920 1080
}

t_newlines_box() {
    section "a name of 3000 newlines makes a message box that fits the screen"
    start_in_tray
    [ -z "$(dbus_open '"/tmp/missing" + "\n" * 3000 + ".bmp"')" ] || fail "Open refused a name the system takes"
    wait_window Scrawlix # the box saying that it cannot be opened
    read -r _ _ bw bh < <(window_geometry "$(windows_named Scrawlix | head -1)")
    ((bw < 1000 && bh < 400)) || fail "the message box is ${bw}x$bh"
    xdotool key Return
    wait_window_gone Scrawlix
}

t_exit() {
    section "--exit ends the running program"
    start_in_tray
    expect_later_ok --exit
    wait_for 10 eval '! scrawlix_running' || fail "--exit did not end the program"
    collect_scrawlix_status
    expect_eq "exit status" 0 "$SCRAWLIX_STATUS"
    wait_for 5 eval '[ "$(tray_icon_count)" = 0 ]' || fail "the tray icon stayed"
    expect_later_ok --exit
    expect_eq "tray icons after --exit with nothing running" 0 "$(tray_icon_count)"
}

t_bus_restart() {
    section "after the session bus restarts, a later start still reaches the running program"
    # A session bus of the test's own, as the session's, which it can end and start again at the same address.
    sed "s|<listen>[^<]*|<listen>unix:path=$E2E_TMP/restarted-bus|" "$E2E_TMP/session/dbus.conf" >"$E2E_TMP/bus.conf"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$E2E_TMP/restarted-bus
    start_bus
    start_in_tray
    wait_for 10 name_owned || fail "the program does not own its name on the bus"
    kill "$BUS_PID"
    wait_for 10 eval '! _e2e_alive "$BUS_PID"' || fail "the test's session bus did not end"
    start_bus
    scrawlix_running || fail "the program ended with the bus"
    wait_for 10 name_owned || fail "the program did not claim its name again on the new bus"
    expect_later_ok --capture-screen
    wait_canvas 0 0 1920 1080
    expect_eq "tray icons after a later start" 1 "$(tray_icon_count)"
}
start_bus() {
    dbus-daemon --nofork --config-file="$E2E_TMP/bus.conf" >>"$E2E_TMP/restarted-bus.log" 2>&1 </dev/null &
    BUS_PID=$!
    _e2e_pids+=("$BUS_PID")
    wait_for 10 test -S "$E2E_TMP/restarted-bus" || fail "the test's session bus did not start"
}
name_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:io.github.scrawlix.Scrawlix | grep -q 'boolean true'
}

t_no_bus() {
    section "without a session bus it starts all the same, and says so once"
    DBUS_SESSION_BUS_ADDRESS=unix:path=$E2E_TMP/no-bus start_in_tray
    expect_eq "lines about the missing bus" 1 "$(grep -c 'running without the check' "$SCRAWLIX_LOG")"
    hotkey_canvas
}

run_section "$@"
