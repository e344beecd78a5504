#!/usr/bin/env bash
# orvanta-snapshot against the committed reference pictures: the same window at several instants,
# time zones and sizes must come out pixel for pixel as it did when the references were drawn.
#
# usage: references_test.sh ORVANTA_SNAPSHOT REFERENCE_DIR OUTPUT_DIR|--write
# A picture that differs is left in OUTPUT_DIR. With --write the references are drawn anew (only
# after a change of the picture that is meant).
set -u
snapshot=$1
references=$2
write=$3
[ "$write" = --write ] || mkdir -p "$write"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work

# time zone, UTC instant, client size
cases=(
    "UTC 2003-08-27T09:52:19 640x480"
    "America/New_York 2003-08-27T09:52:19 635x450"
    "Asia/Kolkata 2026-12-07T18:30:05 640x480"
    "Europe/Berlin 1999-12-31T23:59:59 635x450"
    "Australia/Adelaide 2100-03-01T12:00:00 640x480"
)

failures=0
for c in "${cases[@]}"; do
    read -r zone utc size <<<"$c"
    name="$(tr -d ':' <<<"$utc")Z-${zone#*/}-$size.png"
    if [ "$write" = --write ]; then
        TZ=$zone "$snapshot" --utc "$utc" --size "$size" --out "$references/$name" || failures=$((failures + 1))
        continue
    fi
    if ! TZ=$zone "$snapshot" --utc "$utc" --size "$size" --out "$work/$name" 2>"$work/err"; then
        echo "FAIL: $c: $(cat "$work/err")"
        failures=$((failures + 1))
        continue
    fi
    differ=$(compare -metric AE "$references/$name" "$work/$name" null: 2>&1)
    if [ "$differ" = 0 ]; then
        echo "ok: $c"
    else
        echo "FAIL: $c: $differ pixels differ"
        cp "$work/$name" "$write/"
        failures=$((failures + 1))
    fi
done
echo "$failures failed"
exit "$failures"
