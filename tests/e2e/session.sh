#!/usr/bin/env bash
# session.sh COMMAND [ARG...]: runs COMMAND in a private X session (Xvfb on a free display, D-Bus,
# openbox, a tint2 tray) with a fresh HOME and XDG folders, SCRAWLIX_BIN and E2E_TMP; then tears it down.
# Exits with COMMAND's status (125: no session); after a failure E2E_TMP is kept and its path printed.
#
# The desktop it builds, from these variables (all optional):
#   SCRAWLIX_E2E_DPI=144       the screen's dots per inch and the desktop's scale (Xft.dpi); 96
#   SCRAWLIX_E2E_QT_SCALE=2    Qt's scale variable QT_SCALE_FACTOR, passed to COMMAND
#   SCRAWLIX_E2E_MONITORS="1280x1024+0+0 *1920x1080+1280+0"
#                              monitors on one screen that holds them all; "*" marks the primary
#   SCRAWLIX_E2E_WM=xfwm4      the window manager: openbox (the default) or xfwm4
#   SCRAWLIX_E2E_TASKBAR=1     the tint2 panel lists the windows (a task list left of its tray)
#   SCRAWLIX_E2E_TRAY_AT_ORIGIN=1  the panel along the top, its tray's first icon at the screen's
#                              top left corner (tests/windows/winelib.sh says why)
#   SCRAWLIX_SCREEN=WxHxD      the screen without monitors; 1920x1080x24
source "$(dirname "${BASH_SOURCE[0]}")/session_lib.sh"
session_begin X e2e
mkdir -p "$sess/home"
export XDG_SESSION_TYPE=x11

dpi=${SCRAWLIX_E2E_DPI:-96}
wm=${SCRAWLIX_E2E_WM:-openbox}
read -r -a monitors <<<"${SCRAWLIX_E2E_MONITORS:-}"
screen=${SCRAWLIX_SCREEN:-1920x1080x24}
# The screen is the box around the monitors; each monitor's xrandr arguments, with physical sizes
# at 96 dpi, so Qt reports each monitor at the desktop's dpi.
sw=0 sh=0 setmonitor=()
for m in "${monitors[@]}"; do
    [[ $m =~ ^(\*?)([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || setup_failed "bad monitor \"$m\""
    read -r star w h x y <<<"${BASH_REMATCH[1]:--} ${BASH_REMATCH[*]:2}"
    ((sw = sw > w + x ? sw : w + x, sh = sh > h + y ? sh : h + y))
    setmonitor+=("${star#-}E2E-${#setmonitor[@]} $w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+$y")
done
[ ${#monitors[@]} = 0 ] || screen=${sw}x${sh}x24
need Xvfb dbus-daemon "$wm" tint2 xprop xwininfo xrdb xrandr

# -displayfd: Xvfb picks a free display and writes its number once it accepts connections.
mkfifo "$sess/displayfd"
Xvfb -displayfd 3 -screen 0 "$screen" -dpi "$dpi" -nolisten tcp -noreset +extension MIT-SHM \
    -s 0 3>"$sess/displayfd" >"$sess/xvfb.log" 2>&1 </dev/null &
pids+=($!)
display=""
read -r -t 20 display <"$sess/displayfd"
[[ $display =~ ^[0-9]+$ ]] || setup_failed "Xvfb did not report a display"
export DISPLAY=:$display

# The desktop's scale, as a desktop session announces it; monitors, as a docked laptop has them.
echo "Xft.dpi: $dpi" | xrdb -merge - || setup_failed "xrdb could not set Xft.dpi"
[ ${#monitors[@]} = 0 ] || xrandr --delmonitor screen >/dev/null 2>&1 || true # the one the output makes
for m in "${setmonitor[@]}"; do
    xrandr --setmonitor "${m% *}" "${m#* }" none || setup_failed "xrandr could not make monitor $m"
done

start_session_bus

# The window manager and the panel keep their files in a home of their own.
cat >"$sess/openbox.xml" <<'EOF'
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <desktops><number>1</number></desktops>
  <keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>
  <mouse><context name="Titlebar"><mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind></context>
    <context name="Client"><mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind></context></mouse>
</openbox_config>
EOF
panel_items=S
[ -z "${SCRAWLIX_E2E_TASKBAR:-}" ] || panel_items=TS
panel=("panel_size = 100% 30" "panel_padding = 4 0 4" "panel_position = bottom center horizontal"
    "systray_padding = 0 3 4")
[ -z "${SCRAWLIX_E2E_TRAY_AT_ORIGIN:-}" ] ||
    panel=("panel_size = 100% 24" "panel_padding = 0 0 0" "panel_position = top left horizontal"
        "systray_padding = 0 0 0")
printf '%s\n' "panel_items = $panel_items" "${panel[@]}" "panel_layer = top" "strut_policy = follow_size" \
    "disable_transparency = 1" "systray_icon_size = 24" >"$sess/tint2rc"
if [ "$wm" = openbox ]; then
    HOME=$sess/home daemon wm.log openbox --sm-disable --config-file "$sess/openbox.xml"
else
    HOME=$sess/home XDG_CONFIG_HOME=$sess/home/.config daemon wm.log "$wm" --compositor=off --sm-client-disable
fi

wm_ready() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]; }
poll 20 wm_ready || setup_failed "$wm did not take over the screen"

# Once tint2 says so, the tray's manager window (a child of the root) carries its orientation.
tray_ready() {
    local w
    grep -q 'systray started' "$sess/tint2.log" 2>/dev/null || return 1
    for w in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'); do
        [[ $(xprop -id "$w" _NET_SYSTEM_TRAY_ORIENTATION 2>/dev/null) == *" = "* ]] && return 0
    done
    return 1
}
# Started before the window manager is up, tint2 waits a good while before it starts its tray; on a
# loaded machine it takes a while even after.
HOME=$sess/home daemon tint2.log tint2 -c "$sess/tint2rc"
poll 30 tray_ready || setup_failed "tint2 did not start a system tray"

private_home
[ -z "${SCRAWLIX_E2E_QT_SCALE:-}" ] || export QT_SCALE_FACTOR=$SCRAWLIX_E2E_QT_SCALE
run_command "$@"
