#!/usr/bin/env bash
# No notification area at all, as on a desktop without a tray: the real program under Xvfb with a
# window manager (openbox), on a session bus of its own with a notification service that records
# what it is sent and nothing that hosts tray icons. Its clocks run four times as fast (faketime),
# so that the minute it waits for a tray passes in fifteen seconds.
#
# usage: no_tray_test.sh ORVANTA OUTPUT_DIR XCLOSE
set -u
[ -n "${ORVANTA_BUS:-}" ] || ORVANTA_BUS=1 exec dbus-run-session -- "$0" "$@"
orvanta=$1 out=$2 xclose=$3
source "$(dirname "$0")/session.sh"
export TZ=UTC
start_display
check "the window manager starts" start_wm
check "the notification service starts" start_notifications
mkdir -p "$XDG_CONFIG_HOME/orvanta"
printf '[reminders]\nbeforeApproach=true\n' >"$XDG_CONFIG_HOME/orvanta/orvanta.conf"

# From 8 s before the 30-day point of the approach of 2027-02-20.
LD_PRELOAD=$faketime_lib FAKETIME="@2027-01-21 00:12:45 x4" start_program first
first_pid=$program_pid
check "the window opens" within 10 main_viewable
check "the reminder reaches the notification service" within 10 \
    grep -q '"summary": "Mars is closest to Earth in 30 days"' "$record"
check "closed while a tray is awaited, it hides" close_hides "$first_pid"
start_program second
check "and a second start brings it back" eval 'exits_zero "$program_pid" 5 && within 5 in_front'
check "closed again, it ends with 0 when no tray has come" eval 'close_hides "$first_pid" && exits_zero "$first_pid" 20'

start_program menu
check "the menu is at hand on the window itself: its Exit ends with 0" \
    eval 'within 10 main_viewable && choose_from_tray_menu Up window && exits_zero "$program_pid" 10'

finish "$work"/*.log "$record"
