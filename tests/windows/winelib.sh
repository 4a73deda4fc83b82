# shellcheck shell=bash
# Helpers for the Windows program under Wine, in a session of tests/e2e/session.sh; source after
# tests/e2e/lib.sh. SCRAWLIX_BIN names scrawlix.exe, SCRAWLIX_WINDOWS_BUILD the build whose
# wine-run.sh makes the scenario's fresh Wine prefix. The program runs through a script that execs
# Wine, so its process id is the script's.

[ -f "${SCRAWLIX_BIN:-}" ] || fail "no Windows program at ${SCRAWLIX_BIN:-} (scripts/winbuild.sh)"
# The tray icon's window belongs to Wine's desktop process; tint2 reparents it into a socket of its
# own. Wine 8 reads a synthetic ConfigureNotify in root coordinates, and tint2 sends the icon one at
# (0,0) in the socket: when Wine handles it after the reparenting (now and then, on a busy machine),
# it moves the icon to minus the socket's place, outside the socket, and from then on neither paints
# it nor hands it a click. With the socket at the screen's origin, both readings are the same place.
[ -n "${SCRAWLIX_E2E_TRAY_AT_ORIGIN:-}" ] || fail "run the Wine scenarios with SCRAWLIX_E2E_TRAY_AT_ORIGIN=1"
WINE_EXE=$SCRAWLIX_BIN
export WINEPREFIX=$E2E_TMP/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
"$SCRAWLIX_WINDOWS_BUILD/wine-run.sh" --prefix "$WINEPREFIX" x11 || fail "cannot make a Wine prefix"
mkdir -p "$E2E_TMP/bin"
# Wine passes Qt's variables (QT_*) to Windows programs only when given as WINEQT_*.
cat >"$E2E_TMP/bin/scrawlix" <<EOF
#!/usr/bin/env bash
for name in \$(compgen -e); do
    if [[ \$name == QT_* ]]; then export "WINE\$name=\${!name}"; fi
done
exec wine "$WINE_EXE" "\$@"
EOF
chmod +x "$E2E_TMP/bin/scrawlix"
SCRAWLIX_BIN=$E2E_TMP/bin/scrawlix
# Wine's desktop process, which holds the tray, up before the program, as in a Windows session: a
# program that finds none starts one of its own, which ends with it. It logs the messages of its
# tray icons' windows, for a failure to show, but for the hit tests and cursor queries that a
# resting pointer brings many times a second.
E2E_LOGS+=("$E2E_TMP/wine-desktop.log")
WINEDEBUG=+timestamp,+pid,+systray wine explorer.exe /desktop >/dev/null \
    2> >(grep --line-buffered -v -E 'msg=0x(84|20)$' >"${E2E_LOGS[-1]}") &
_e2e_pids+=("$!")
_desktop_windows() { xwininfo -root -children 2>/dev/null | grep -q '("explorer.exe" "explorer.exe")'; }
wait_for 30 _desktop_windows || fail "Wine's desktop did not start within 30 s"

# Wine's own processes (the server, the desktop's tray) end with the scenario.
_wine_on_exit() {
    local status=$?
    trap - ERR
    (exit "$status")
    _e2e_on_exit
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    return "$status"
}
trap _wine_on_exit EXIT

# windows_path FILE: the path Windows programs under Wine know FILE by (drive Z: is /).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# reg_value KEY NAME: the data of a registry value, as `reg query` shows it; fails when absent.
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name && $2 ~ /^REG_/ { $1 = ""; $2 = ""; sub(/^  /, ""); print; found = 1 }
            END { exit !found }'
}

# The tray icon: under Wine, the desktop's process (explorer.exe) owns the icon's window, not the
# program, and tint2 holds it in a socket window of its own.
tray_icon() {
    local p
    for p in $(tray_panel_windows); do
        xwininfo -tree -id "$p" 2>/dev/null | awk '$1 ~ /^0x/ && /"explorer.exe"/ { print $1; exit }'
    done | head -n1
}

# keep_shot NAME: a screenshot of the screen now, as NAME.png in SCRAWLIX_WINDOWS_SHOTS when that
# names a folder (to look at what Wine showed); nothing otherwise.
keep_shot() {
    [ -n "${SCRAWLIX_WINDOWS_SHOTS:-}" ] || return 0
    mkdir -p "$SCRAWLIX_WINDOWS_SHOTS"
    import -window root "$SCRAWLIX_WINDOWS_SHOTS/$1.png"
}
