#!/usr/bin/env bash
# Settings files a user (or an attacker) may leave behind, read by the real program under Xvfb on a
# session bus of its own: a link to a device node, a pipe, places that are no numbers, reminder
# records of nonsense, a moment off and of no approach, a comment of the user's. The device node is the test's own, made in its
# scratch folder: the fault looked for destroys what the link leads to.
#
# usage: settings_test.sh ORVANTA OUTPUT_DIR
set -u
[ -n "${ORVANTA_BUS:-}" ] || ORVANTA_BUS=1 exec dbus-run-session -- "$0" "$@"
orvanta=$1 out=$2
source "$(dirname "$0")/session.sh"
export TZ=UTC
start_display
check "the window manager starts" start_wm
check "the notification service starts" start_notifications
conf=$XDG_CONFIG_HOME/orvanta/orvanta.conf
mkdir -p "$XDG_CONFIG_HOME/orvanta"
stop_program() { stop "$program_pid"; }
said() { grep -c "$2" "$work/$1.log"; } # log, text: how many lines say it
# "Remind me before approaches" from the window's own menu: a choice that is saved.
toggle_reminders() { within 10 main_viewable && choose_from_tray_menu "Down Down Down" window; }

if [ "$(id -u)" -eq 0 ]; then
    mknod "$work/node" c 1 3 # the null device's numbers, in the scratch folder
    ln -s "$work/node" "$conf"
    # Under strace, whose every open is written down: opening a device can have effects of its own.
    strace -f -qq -e trace=open,openat,openat2 -o "$work/node.trace" "$orvanta" >"$work/node.log" 2>&1 &
    tracer=$!
    pids+=("$tracer")
    check "with a link to a device node, a saved choice" toggle_reminders
    check "says so in one line" within 10 eval '[ "$(said node "is not a regular file")" = 1 ]'
    check "leaves the node a device node" [ -c "$work/node" ]
    check "and the link a link" [ -L "$conf" ]
    check "and opens neither the link nor the node" \
        eval '! grep -F -e "\"$conf\"" -e "\"$work/node\"" "$work/node.trace"'
    program_pid=$(pgrep -P "$tracer" -x orvanta)
    stop_program
    stop "$tracer"
    rm "$conf"
else
    echo "skipped: a device node of the test's own needs root"
fi

mkfifo "$conf"
start_program fifo
check "with a pipe for the settings the window opens" within 10 main_viewable
check "with one line that says why the file is not used" [ "$(said fifo 'is not a regular file')" = 1 ]
stop_program
rm "$conf"

printf '; kept by hand\n[sky]\nlatitude=nan\nlongitude=1e308\n' >"$conf"
start_program place
check "places that are no numbers: Mars tonight opens" eval \
    'within 10 main_viewable && choose_from_tray_menu "Down Down Down Down" window && within 10 window_shown "Mars tonight"'
check "and the latitude is refused by name" within 5 grep -q 'sky/latitude "nan" is not' "$work/place.log"
stop_program

printf '; kept by hand\n[reminders]\nbeforeApproach=true\nshown=2461456.508950/-99999\n' >"$conf"
LD_PRELOAD=$faketime_lib FAKETIME="@2026-12-08 12:00:00" start_program record
check "a reminder record of nonsense is refused by name" within 10 grep -q 'reminders/shown' "$work/record.log"
check "a saved choice" eval 'toggle_reminders && within 10 grep -q "^beforeApproach=false$" "$conf"'
check "keeps the user's comment" grep -q "^; kept by hand$" "$conf"
# Refused in the refresh that would have sent it, a while before the choice was saved.
check "and no reminder is sent for the refused record" [ ! -s "$record" ]
stop_program

# Records of what was shown of the approach at 2027-02-20T00:12:53 UT (2461456.508950), a tenth of
# a second off either way, name it; a record of no approach is said and not kept to.
remind_from() { # record "YYYY-MM-DD HH:MM:SS" log
    printf '[reminders]\nbeforeApproach=true\nshown=%s\n' "$1" >"$conf"
    sent_before=$(wc -l <"$record")
    LD_PRELOAD=$faketime_lib FAKETIME="@$2" FAKETIME_DONT_FAKE_MONOTONIC=1 start_program "$3"
    within 10 main_viewable
}
sent() { echo $(($(wc -l <"$record") - sent_before)); } # since the run began
remind_from 2461456.508949/0 "2027-02-01 12:00:00" before
# What must not come has no moment to wait for: three refreshes in which it would be sent.
sleep 3
check "after the 30-day point, its record a moment early keeps it from coming again" [ "$(sent)" = 0 ]
stop_program
remind_from 2461456.508951/0 "2027-02-14 12:00:00" after
check "after the 7-day point, with the 30-day one's record a moment late, the 7-day one" \
    within 10 eval '[ "$(sent)" = 1 ]'
check "and neither record is refused" [ "$(cat "$work/before.log" "$work/after.log" | grep -c reminders/shown)" = 0 ]
stop_program
remind_from 9999999.000000/3 "2027-02-01 12:00:00" none
check "a record of no approach is refused by name, once" \
    within 10 eval '[ "$(said none "reminders/shown \"9999999")" = 1 ]'
check "and the reminder due is sent" within 5 [ "$(sent)" = 1 ]
stop_program

finish
