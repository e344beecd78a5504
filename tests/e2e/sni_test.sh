#!/usr/bin/env bash
# The tray over StatusNotifierItem, end to end: the real program under Xvfb with a window manager
# (openbox) and Xfce's panel, whose notification area hosts items over D-Bus, on a session bus of
# its own. The item is read and its menu driven over D-Bus as a panel does (sni_client.py); the
# entries are found by their labels.
#
# usage: sni_test.sh ORVANTA OUTPUT_DIR XCLOSE
set -u
[ -n "${ORVANTA_BUS:-}" ] || ORVANTA_BUS=1 exec dbus-run-session -- "$0" "$@"
orvanta=$1 out=$2 xclose=$3
source "$(dirname "$0")/session.sh"
start_display
start_wm
# A panel with the notification area alone, in the settings of the xfconfd that D-Bus starts.
mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<'END'
<channel name="xfce4-panel" version="1.0"><property name="configver" type="int" value="2"/>
 <property name="panels" type="array"><value type="int" value="1"/>
  <property name="panel-1" type="empty"><property name="position" type="string" value="p=6;x=0;y=0"/>
   <property name="plugin-ids" type="array"><value type="int" value="1"/></property></property></property>
 <property name="plugins" type="empty"><property name="plugin-1" type="string" value="systray"/></property>
</channel>
END
dbus-update-activation-environment XDG_CONFIG_HOME DISPLAY
hosting() {
    dbus-send --session --print-reply=literal --dest=org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered 2>/dev/null | grep -q true
}
start_panel() { xfce4-panel >>"$work/panel.log" 2>&1 & panel_pid=$!; pids+=($!); within 10 hosting; }
ticked() { [ "$(sni state "$1")" = 1 ]; }
dated_tip() { [[ $(sni tip) =~ ^Quellmark\ Orvanta\ [0-9]{4}-[0-9]{2}-[0-9]{2},\ in\ [0-9]+\ days?$ ]]; }
# What is ticked: the submenu's radio item and the check item.
ticks=("the next one" "Remind me before approaches")

check "Xfce's panel starts, hosting items over D-Bus" start_panel
start_program first
check "the item registers with the panel's watcher" within 10 ours
check "and no icon is docked over XEmbed" [ -z "$(tray_icon_center xfce4-panel)" ]
check "its tip is the one the XEmbed tray shows" [ "$(sni tip)" = "Quellmark Orvanta 2003" ]
sni icon 32 "$work/icon.rgba"
compare -metric AE -fuzz 1% -size 32x32 -depth 8 "rgba:$work/icon.rgba" \
    "$(dirname "$0")/../../resources/icons/32.png" null: 2>"$work/icon-difference"
check "its icon is the program's" [ "$(cat "$work/icon-difference")" -le 10 ]
import -window root -crop 1280x40+0+0 "$out/sni-panel.png" 2>/dev/null

sni click About
check "About opens the box" within 5 about_viewable
xdotool key Return
check "\"Count down to\" ticks 2003 at first" eval 'ticked 2003 && ! ticked "the next one"'
for entry in "${ticks[@]}"; do
    sni click "$entry"
    check "\"$entry\" is ticked" within 5 ticked "$entry"
done
check "and 2003 no longer, and the tip names the next approach" eval '! ticked 2003 && within 5 dated_tip'
for entry in "Mars tonight" Approaches; do
    sni click "$entry…"
    check "\"$entry…\" opens its window" within 5 window_shown "$entry"
done
sni click Exit
check "Exit ends the program with 0" exits_zero "$program_pid" 10
start_program second
check "started again, it registers again" within 10 ours
for entry in "${ticks[@]}"; do
    check "\"$entry\" still ticked" ticked "$entry"
done
check "and the tip still names the next approach" dated_tip

check "the close box hides the window" close_hides "$program_pid"
sni activate
check "Activate shows it, raised and active" within 5 in_front
stop "$panel_pid"
check "the panel starts again" start_panel
check "and the item registers with it again" within 10 ours
sni click Exit
check "Exit ends it with 0" exits_zero "$program_pid" 10

finish
