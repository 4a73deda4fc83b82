#!/usr/bin/env bash
# KWin, as on a Plasma desktop without its panel: the screen straight from KWin, without the portal,
# and the shortcut bound in kglobalaccel, at this start and the next.
source "$(dirname "$0")/lib.sh"

kglobalaccel() { dbus-send --session --print-reply --dest=org.kde.kglobalaccel "$@"; }
# The kglobalaccel component holding our shortcut, by its object path.
shortcut_component() {
    local c
    for c in $(kglobalaccel /kglobalaccel org.kde.KGlobalAccel.allComponents 2>/dev/null | grep -o '"/component/[^"]*"' | tr -d '"'); do
        kglobalaccel "$c" org.kde.kglobalaccel.Component.shortcutNames 2>/dev/null | grep -q '"capture-screen"' &&
            { echo "$c"; return 0; }
    done
    return 1
}
press_shortcut_kde() {
    local c
    c=$(shortcut_component) || fail "kglobalaccel holds no capture-screen"
    kglobalaccel "$c" org.kde.kglobalaccel.Component.invokeShortcut string:capture-screen >/dev/null ||
        fail "kglobalaccel did not invoke capture-screen"
}
# Every section starts with the check that the shortcut passed with CreateSession is bound in kglobalaccel.
start_bound() {
    start_scrawlix_settled
    wait_for 15 grep -q 'global shortcut bound' "$SCRAWLIX_LOG" || fail "the program does not say the shortcut is bound"
    wait_for 10 shortcut_component || fail "kglobalaccel holds no capture-screen"
}

t_notice() {
    section "with no tray, the first start's notice reaches the notification service"
    start_bound
    wait_for 10 notified 'no system tray' || fail "no notification about the missing tray: $(cat "$STANDIN_LOG")"
    ! notified 'capture-screen' || fail "the user was told that there is no global shortcut"
}

t_capture() {
    section "the shortcut captures; the screen comes from KWin, pixel for pixel, without the portal"
    start_pattern
    portal_watch
    start_bound
    capture_as_before press_shortcut_kde
    grep -q 'read through kwin-screenshot' "$SCRAWLIX_LOG" || fail "the log does not name KWin's screenshot"
    grep -q 'desktop portal reads the screen instead' "$SCRAWLIX_LOG" && fail "KWin refused: $(grep -i kwin "$SCRAWLIX_LOG")"
    expect_eq "calls to the portal's Screenshot" 0 "$(portal_screenshots)"
    stop_scrawlix || fail "TERM did not end the program"
}

t_next_start() {
    section "the next start binds the shortcut again without BindShortcuts"
    bus_watch shortcut-calls org.freedesktop.portal.GlobalShortcuts
    start_bound
    stop_scrawlix || fail "TERM did not end the program"
    start_scrawlix_settled
    wait_for 15 eval '[ "$(grep -c "member=CreateSession" "$E2E_TMP/shortcut-calls")" = 2 ]' || fail "the second start made no session"
    wait_for 15 grep -q 'global shortcut bound' "$SCRAWLIX_LOG" || fail "the second start did not bind the shortcut"
    expect_eq "BindShortcuts calls" 0 "$(grep -c 'member=BindShortcuts' "$E2E_TMP/shortcut-calls" || :)"
    press_shortcut_kde
    wait_canvas 0 0 "$SCREEN_W" "$SCREEN_H"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
