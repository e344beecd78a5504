#!/usr/bin/env bash
# The tools draw and print from their arguments and the environment alone: a settings file that
# names another place, another orientation of the disk and another approach to count down to
# changes no pixel of orvanta-snapshot and no line of orvanta-state, and is left as it was.
#
# usage: snapshot_settings_test.sh ORVANTA_SNAPSHOT ORVANTA_STATE
set -u
snapshot=$1 state=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work TZ=Europe/Berlin LC_ALL=C.UTF-8
at=(--utc 2027-02-19T18:10:00)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir -p "$work/none" "$work/kept/orvanta"
settings=$work/kept/orvanta/orvanta.conf
printf '%s\n' '[sky]' 'latitude=64.13548' 'longitude=-21.89541' 'height=0' \
    'name="Reykjavik, Iceland"' 'town=Reykjavik' 'zone=Atlantic/Reykjavik' '' \
    '[disk]' 'orientation=south-up' '' '[countdown]' 'target=2035' >"$settings"
cp "$settings" "$work/before.conf"

# name, arguments...: the same picture and the same text with either settings folder.
same() {
    local name=$1 home
    shift
    for home in none kept; do
        XDG_CONFIG_HOME=$work/$home "$snapshot" "${at[@]}" "$@" --out "$work/$name-$home.png" \
            2>"$work/$name-$home.err" || fail "$name with the $home settings: $(cat "$work/$name-$home.err")"
    done
    local differ
    differ=$(compare -metric AE "$work/$name-none.png" "$work/$name-kept.png" null: 2>&1)
    [ "$differ" = 0 ] || fail "$name: $differ pixels differ with the settings file"
}
same sky --sky
same main
same approaches --approaches

for home in none kept; do
    XDG_CONFIG_HOME=$work/$home "$state" "${at[@]}" --sky >"$work/state-$home.txt" 2>&1 ||
        fail "orvanta-state --sky with the $home settings: $(cat "$work/state-$home.txt")"
done
cmp -s "$work/state-none.txt" "$work/state-kept.txt" ||
    fail "orvanta-state --sky differs with the settings file: $(diff "$work/state-none.txt" "$work/state-kept.txt")"
# Berlin, the town of the zone.
grep -q "^place 52.52" "$work/state-none.txt" || fail "orvanta-state --sky is not of Berlin: $(head -1 "$work/state-none.txt")"

cmp -s "$settings" "$work/before.conf" || fail "the settings file was changed"
[ -z "$(ls -A "$work/none")" ] || fail "a settings folder was written: $(ls -R "$work/none")"

[ "$failures" = 0 ] && echo "the tools take nothing from the settings" || exit 1
