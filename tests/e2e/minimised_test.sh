#!/usr/bin/env bash
# A window the user minimised, or one unmapped behind Qt's back, comes back raised and active on a
# tray click and on a second start: the real program under Xvfb with a window manager (openbox), a
# tray host (trayer) and another window over it.
#
# usage: minimised_test.sh ORVANTA OUTPUT_DIR
set -u
orvanta=$1 out=$2
source "$(dirname "$0")/session.sh"
start_display
check "the window manager starts" start_wm
check "the tray host starts" start_tray
start_program first
first_pid=$program_pid
check "the window shows, its icon in the tray" eval 'within 10 main_viewable && within 5 has_tray_icon'
xmessage -geometry 1280x1000+0+0 'over the window' >/dev/null 2>&1 &
pids+=($!)
within 5 xdotool search --class xmessage >/dev/null
cover=$(printf '0x%x' "$(xdotool search --class xmessage | head -n 1)")
check "another window comes over it" within 5 eval '! in_front'

iconic() { xprop -id "$(main_window)" WM_STATE 2>/dev/null | grep -q 'state: Iconic'; }
minimised() { xdotool windowminimize "$(main_window)" && within 5 iconic; }
second_start() { start_program second && exits_zero "$program_pid" 5; }
check "minimised by the user" minimised
check "a click on the icon brings it back, raised and active" eval 'click_shows && within 5 in_front'
check "minimised again" minimised
check "a second start brings it back, raised and active" eval 'second_start && within 5 in_front'
import -window root "$out/minimised-and-back.png" 2>/dev/null
xdotool windowunmap "$(main_window)"
check "unmapped behind Qt's back" within 5 main_hidden
check "a second start maps it again, raised and active" eval 'second_start && within 5 in_front'
check "one program all along" kill -0 "$first_pid"

finish
