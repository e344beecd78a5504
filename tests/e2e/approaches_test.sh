#!/usr/bin/env bash
# The running program as a screen reader meets it, and choosing an approach to count down to by
# keyboard alone: the real program under Xvfb with a tray host, on a session bus of its own with
# the accessibility bus, read through AT-SPI by a small client. Its clock runs from a set instant
# ten times as fast (faketime), so that a few minutes of what it is told fit in half a minute.
# The Approaches window comes from the tray menu, the approach of 2035 is chosen in its list; the
# countdown box, the window's description, the tip and the settings file follow, and so does the
# program after a restart.
#
# usage: approaches_test.sh ORVANTA OUTPUT_DIR
set -u
if [ -z "${ORVANTA_APPROACHES_BUS:-}" ]; then
    ORVANTA_APPROACHES_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
orvanta=$1 out=$2 here=$(dirname "$0")
source "$here/session.sh"
export TZ=UTC QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_x 1280x1024 -noreset
export DISPLAY=$x_display
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
check "the tray host starts" start_tray

start_program() {
    LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1 \
        FAKETIME="@2026-12-07 12:00:00 x10" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$orvanta" >>"$work/orvanta.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
    within 10 has_tray_icon
}
read_aloud() { # reading [seconds to listen]
    /usr/bin/python3 "$here/screen_reader.py" "${2:-0}" >"$out/$1.txt" 2>>"$work/reader.log"
}
said() { grep -qE "$2" "$out/$1.txt"; }     # reading pattern
value() { sed -n "s/^$2: //p" "$out/$1.txt"; } # reading field
counting_to_2035() { # reading
    said "$1" '^box Closest Approach: 3200 Days, [0-9]+ Hours, [0-9]+ Minutes$' &&
        said "$1" '^window Orvanta: A countdown to the closest approach of Mars to Earth on 2035-09-11$'
}

check "the program starts with its icon" start_program
check "the tray menu opens the Approaches window" \
    eval 'choose_from_tray_menu "Up Up Up" && within 10 window_shown Approaches'
import -window "$(xdotool search --name '^Approaches$' | head -n 1)" "$out/approaches.png"
read_aloud before 30
check "the window's name and what it counts down to" \
    said before '^window Orvanta: A countdown to the closest approach of Mars to Earth on 27 August 2003$'
check "the clock's box, as drawn" said before '^box Current Time: Mon, Dec 07, 2026, 12:0[0-9]:[0-9]{2} PM$'
check "the distance's box" said before '^box Distance to Mars: [0-9,]+\.[0-9]{2} mi\., [0-9,]+\.[0-9]{2} km\., [0-9.]+ au\., [0-9.]+ Light Minutes$'
check "the size's box" said before '^box Size & Brightness: [0-9.]+ arcseconds, Magnitude: -?[0-9.]+$'
check "the countdown's box" said before '^box Closest Approach: -8504 Days, [0-9]+ Hours, [0-9]+ Minutes$'
check "the diagram's description" said before '^image Orbit diagram: The orbits of Earth and Mars around the Sun, seen from above, over a photograph of Mars\. Earth is at heliocentric longitude [0-9]+ degrees, Mars at [0-9]+ degrees\. Mars is approaching Earth, [0-9.]+ au away\.$'
# Thirty seconds at ten times the speed: five minutes of the clock.
for box in "Current Time" "Distance to Mars" "Closest Approach"; do
    told=$(value before "told $box")
    check "$box told of its changes ($told times), at most once a minute" \
        [ "${told:-0}" -ge 3 -a "${told:-0}" -le 6 ]
    check "$box reads anew after the minutes" \
        [ "$(value before "box $box")" != "$(value before "box later $box")" ]
done
check "the screen reader reads the list" \
    said before '^list item 2035-09-11 14:20 UT: 56\.91 million km, 24\.61″ across, magnitude -2\.8$'
check "and what is counted to at first" said before '^list item 2003: .* \(counting down to it\)$'

# To the list (From, Years, the chart, the tabs, the orbits, the list), the approach of 2035 by
# its first letters, Enter: the keys reach the window in order, so the typing goes to the list.
xdotool key Tab Tab Tab Tab Tab
xdotool type 2035
xdotool key Return
check "Enter in the list counts down to it" within 10 eval 'read_aloud chosen && counting_to_2035 chosen'
check "the list says so" said chosen '^list item 2035-09-11 .* \(counting down to it\)$'
check "the settings keep it" grep -q '^target=2464582.096955$' "$work/config/orvanta/orvanta.conf"
# Beside the main window the Approaches window may lie over the tray host, which claims no room
# of the screen without a window manager: moved off it.
xdotool windowmove "$(xdotool search --name '^Approaches$' | head -n 1)" 0 0
# The tip shows when the pointer comes to rest on the icon.
xdotool mousemove 640 600
# shellcheck disable=SC2046
xdotool mousemove $(tray_icon_center) sleep 0.2 mousemove_relative 1 1
check "the tip names it" within 10 eval \
    "read_aloud tip && said tip '^tool tip Quellmark Orvanta 2035-09-11, in 3200 days\$'"
import -window root "$out/tip.png"

check "Exit ends the program" eval 'choose_from_tray_menu Up && exits_zero "$program_pid" 10'
check "the program starts again" start_program
check "and still counts down to 2035's" within 10 eval 'read_aloud restarted && counting_to_2035 restarted'

[ "$failures" -eq 0 ] || cat "$work/orvanta.log" "$work/reader.log" "$out"/*.txt
echo "$failures failed"
exit "$failures"
