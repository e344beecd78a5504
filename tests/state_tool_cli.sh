#!/usr/bin/env bash
# Runs the real orvanta-state binary: exit statuses and which stream the text goes to.
set -u
tool=$1
failures=0

check() { # description, expected status, expect stdout empty (yes/no), expect stderr empty, args...
    local what=$1 status=$2 outEmpty=$3 errEmpty=$4
    shift 4
    local out err rc
    out=$(mktemp) err=$(mktemp)
    "$tool" "$@" >"$out" 2>"$err"
    rc=$?
    local ok=yes
    [ "$rc" -eq "$status" ] || ok=no
    [ "$outEmpty" = yes ] && [ -s "$out" ] && ok=no
    [ "$outEmpty" = no ] && [ ! -s "$out" ] && ok=no
    [ "$errEmpty" = yes ] && [ -s "$err" ] && ok=no
    [ "$errEmpty" = no ] && [ "$(wc -l <"$err")" -ne 1 ] && ok=no
    if [ "$ok" = no ]; then
        echo "FAIL: $what (exit $rc)"; echo "stdout:"; cat "$out"; echo "stderr:"; cat "$err"
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}

check "a reading" 0 no yes --utc 2003-08-27T09:52:19
check "now" 0 no yes
check "positions" 0 no yes --jd 2451545.0 --factor 0.25
check "help" 0 no yes --help
check "month 13" 2 yes no --utc 2003-13-01T00:00:00
check "second 60" 2 yes no --utc 2003-08-27T09:52:60
check "missing value" 2 yes no --utc
check "unknown option" 2 yes no --fast
check "bad factor" 2 yes no --jd 2451545 --factor x

if [ "$(bash -c "\"$tool\" --utc 2003-08-27T09:52:19 | tail -n 3 | tr '\n' ' '")" != "daysLeft 0 hoursLeft 0 minutesLeft 0 " ]; then
    echo "FAIL: countdown lines"; failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "orvanta-state command line: all checks passed"
exit "$failures"
