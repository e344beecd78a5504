#!/usr/bin/env bash
# Reminders of the next closest approach, end to end: the real program under Xvfb on a session
# bus of its own, its clock moved by faketime, a notification service that records what it is sent,
# and a tray host for the fallback.
#
# usage: reminders_test.sh ORVANTA OUTPUT_DIR
set -u
[ -n "${ORVANTA_BUS:-}" ] || ORVANTA_BUS=1 exec dbus-run-session -- "$0" "$@"
orvanta=$1 out=$2
source "$(dirname "$0")/session.sh"
export TZ=UTC
start_display

mkdir -p "$work/config/orvanta"
printf '[reminders]\nbeforeApproach=true\n' >"$work/config/orvanta/orvanta.conf"
start_notifications

# Runs the program from a UTC instant on for some seconds, then ends it.
run_from() { # "YYYY-MM-DD HH:MM:SS" seconds
    LD_PRELOAD=$faketime_lib FAKETIME="@$1" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        start_program "from-${1// /T}"
    sleep "$2"
    stop "$program_pid"
}
count() { wc -l <"$record"; }
field() { /usr/bin/python3 -c "import json,sys; print(json.loads(sys.stdin.readlines()[$1])['$2'])" <"$record"; }

# The next approach is at 2027-02-20T00:12:53 UT; its 30-day point at 2027-01-21T00:12:53.
run_from "2027-01-21 00:12:45" 14
check "one notification at the 30-day point" [ "$(count)" = 1 ]
check "from Orvanta, with its icon" [ "$(field 0 app):$(field 0 icon)" = Orvanta:org.orvanta.Orvanta ]
check "saying how long" [ "$(field 0 summary)" = "Mars is closest to Earth in 30 days" ]
check "and when, how far and how large" [ "$(field 0 body)" = \
    "2027-02-20 00:13 (local time): 101,415,242 km (0.677919 au) from Earth, 13.81 arcseconds across." ]

# Both the 30-day and the 7-day points passed while it was not running: only the latter, once. Set
# back, the clock would make the 30-day point due again, were what was shown not remembered.
run_from "2027-02-14 12:00:00" 4
check "the latest passed point at start" [ "$(count)" = 2 ]
check "which is the 7-day one" [ "$(field 1 summary)" = "Mars is closest to Earth in 6 days" ]
run_from "2027-02-10 12:00:00" 4
check "not again at the next start, with the clock set back" [ "$(count)" = 2 ]
# Set back as far as the approach before (2025-01-12), and forward again: neither that one's
# reminders nor this one's again.
run_from "2025-01-09 12:00:00" 4
run_from "2027-02-14 12:00:00" 4
check "nor with the clock set back by an approach and forward again" [ "$(count)" = 2 ]

# Started two minutes after the moment, which was not shown, nor the 1-day point: nothing of an
# approach that is behind.
run_from "2027-02-20 00:15:00" 4
check "nothing once the approach is behind" [ "$(count)" = 2 ]

# Started just before the moment: the 1-day point passed unseen, then the moment itself.
run_from "2027-02-20 00:12:45" 14
check "the 1-day point at start, and the moment while running" [ "$(count)" = 4 ]
check "saying how soon" [ "$(field 2 summary)" = "Mars is closest to Earth in a minute or less" ]
check "and then that it is now" [ "$(field 3 summary)" = "Mars is closest to Earth now" ]

# Without the service, the tray icon's own message.
stop "$notifications_pid"
start_tray
LD_PRELOAD=$faketime_lib FAKETIME="@2029-03-28 13:00:00" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    start_program balloon
balloon() { # the window and the message beside it: two top-level windows of the program's shown
    [ "$(xwininfo -root -children | awk '/\("orvanta" "orvanta"\)/ {print $1}' |
        xargs -rn1 xwininfo -id | grep -c IsViewable)" -ge 2 ]
}
check "a tray message without the notification service" within 10 balloon
import -window root "$out/reminder-tray-message.png" 2>/dev/null

finish "$record" "$work"/*.log
