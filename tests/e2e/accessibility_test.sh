#!/usr/bin/env bash
# The running program as a screen reader meets it: under Xvfb, on a session bus of its own with the
# accessibility bus, read through AT-SPI by a small client. The clock runs ten times as fast
# (faketime), so that a few minutes of what it is told fit in half a minute.
#
# usage: accessibility_test.sh ORVANTA OUTPUT_DIR
set -u
if [ -z "${ORVANTA_A11Y_BUS:-}" ]; then
    ORVANTA_A11Y_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
orvanta=$1
out=$2
here=$(dirname "$0")
source "$here/session.sh"
export TZ=UTC QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_x 1280x1024 -noreset
export DISPLAY=$x_display
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 1

LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1 \
    FAKETIME="@2027-01-01 12:00:30 x10" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$orvanta" >"$work/orvanta.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool search --name '^Orvanta 2003$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 2

/usr/bin/python3 "$here/screen_reader.py" 30 >"$out/screen-reader.txt" 2>"$work/reader.log"
cat "$out/screen-reader.txt"
has() { grep -qE "$1" "$out/screen-reader.txt"; }
value() { sed -n "s/^$1: //p" "$out/screen-reader.txt"; }

check "the window's name and what it counts down to" \
    has '^window Orvanta: A countdown to the closest approach of Mars to Earth on 27 August 2003$'
check "the clock's box, as drawn" has '^box Current Time: Fri, Jan 01, 2027, 12:0[0-9]:[0-9]{2} PM$'
check "the distance's box" has '^box Distance to Mars: [0-9,]+\.[0-9]{2} mi\., [0-9,]+\.[0-9]{2} km\., [0-9.]+ au\., [0-9.]+ Light Minutes$'
check "the size's box" has '^box Size & Brightness: [0-9.]+ arcseconds, Magnitude: -?[0-9.]+$'
check "the countdown's box" has '^box Closest Approach: -8[0-9]{3} Days, [0-9]+ Hours, [0-9]+ Minutes$'
check "the diagram's description" has '^image Orbit diagram: The orbits of Earth and Mars around the Sun, seen from above, over a photograph of Mars\. Earth is at heliocentric longitude [0-9]+ degrees, Mars at [0-9]+ degrees\. Mars is approaching Earth, [0-9.]+ au away\.$'
# Thirty seconds at ten times the speed: five minutes of the clock.
for box in "Current Time" "Distance to Mars" "Closest Approach"; do
    told=$(value "told $box")
    check "$box told of its changes ($told times), at most once a minute" \
        [ "${told:-0}" -ge 3 -a "${told:-0}" -le 6 ]
    check "$box reads anew after the minutes" [ "$(value "box $box")" != "$(value "box later $box")" ]
done

# The keyboard: no focus is drawn until Tab moves it to the first box; Escape hides the window.
window=$(xdotool search --name '^Orvanta 2003$' | head -n 1)
xdotool windowfocus --sync "$window"
sleep 0.5
import -window "$window" "$out/focus-none.png"
xdotool key Tab
sleep 0.5
import -window "$window" "$out/focus-on-a-box.png"
framed() { # the box's frame in the highlight's blue, on the first box's top edge
    convert "$out/$1" -crop 20x4+455+20 -format '%[fx:maxima.b - maxima.r > 0.3 ? 1 : 0]' info:
}
check "no focus drawn before the keyboard is used" [ "$(framed focus-none.png)" = 0 ]
check "Tab draws the focus on the first box" [ "$(framed focus-on-a-box.png)" = 1 ]
xdotool key Escape
sleep 0.5
check "Escape hides the window" sh -c "! xwininfo -id $window | grep -q IsViewable"

[ "$failures" -eq 0 ] || cat "$work/reader.log" "$work/orvanta.log"
echo "$failures failed"
exit "$failures"
