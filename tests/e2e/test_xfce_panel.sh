#!/usr/bin/env bash
# The Xfce panel (4.18) as a tray: it is a StatusNotifier host that only ever sends Activate to the
# icon and shows the menu that the program exports over D-Bus itself. A right-click shows
# Scrawlix's menu, whose items work; two clicks capture the screen. Run under xfwm4.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

command -v xfce4-panel >/dev/null || fail "xfce4-panel is not installed (scripts/setup.sh --tests installs it)"
xfconfd=$(dpkg -L xfconf 2>/dev/null | grep '/xfconfd$' | head -1)
[ -x "$xfconfd" ] || fail "xfconfd is not installed (scripts/setup.sh --tests installs it)"
# One panel along the top, holding only the tray; the settings daemon that it reads them from.
panel_config=$E2E_TMP/xfce/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$panel_config"
cat >"$panel_config/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array"><value type="int" value="1"/>
    <property name="panel-1" type="empty"><property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/><property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property></property></property>
  <property name="plugins" type="empty"><property name="plugin-1" type="string" value="systray"/></property>
</channel>
XML

# panel_item: the Xfce panel's tray on the session bus, and Scrawlix's item in it at icon_x icon_y.
panel_item() {
    XDG_CONFIG_HOME=$E2E_TMP/xfce "$xfconfd" >"$E2E_TMP/xfconfd.log" 2>&1 </dev/null &
    _e2e_pids+=($!)
    XDG_CONFIG_HOME=$E2E_TMP/xfce xfce4-panel >"$E2E_TMP/xfce4-panel.log" 2>&1 </dev/null &
    panel_pid=$!
    _e2e_pids+=("$panel_pid")
    host_up() { dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered |
        grep -q true; }
    wait_for 20 host_up ||
        fail "the Xfce panel's tray did not start: $(tail -3 "$E2E_TMP/xfce4-panel.log")"
    start_scrawlix_settled
    wait_tray_item
    [ -z "$(tray_icon)" ] || fail "the program put an XEmbed icon in tint2's tray as well"
    panel=$(xdotool search --onlyvisible --classname '^xfce4-panel$' | head -1)
    [ -n "$panel" ] || fail "no panel window"
    read -r px py _ < <(window_geometry "$panel")
    # The tray is the panel's only plugin: the item's icon is its first.
    icon_x=$((px + 12)) icon_y=$((py + 15))
}
# A menu of the panel's on the screen: a viewable override-redirect window, larger than a few
# pixels, of the panel or of the process it runs its tray in.
panel_menu_shown() {
    local p w ww wh
    for p in "$panel_pid" $(pgrep -P "$panel_pid"); do
        for w in $(xdotool search --onlyvisible --pid "$p" 2>/dev/null); do
            xwininfo -id "$w" | grep -q 'Override Redirect State: yes' || continue
            read -r _ _ ww wh < <(window_geometry "$w")
            ((ww > 50 && wh > 50)) && return 0
        done
    done
    return 1
}
# right_click_icon: the panel's menu for the icon opens.
right_click_icon() {
    click_at "$icon_x" "$icon_y" 3
    wait_for 5 panel_menu_shown || fail "a right-click on the icon showed no menu"
    nap 0.3 # the menu takes the keyboard once it is mapped
}

t_panel() {
    section "a right-click shows Scrawlix's menu: its Configuration opens the options dialog"
    panel_item
    right_click_icon
    xdotool key c
    wait_window "Scrawlix Configuration"
    xdotool key --delay 40 alt+c
    wait_window_gone "Scrawlix Configuration"
    section "two clicks capture the screen (the panel sends Activate for each)"
    click_at "$icon_x" "$icon_y" 1
    nap 0.1
    xdotool click 1
    wait_canvas 0 0 1920 1080
    send_to_tray
    section "the menu's Exit ends the program"
    right_click_icon
    xdotool key x
    wait_for 10 eval '! scrawlix_running' || fail "the menu's Exit did not end the program: $(program_windows)"
}

run_section "$@"
