#!/usr/bin/env bash
# Towns as people type them, in every locale: each name below is taken by orvanta-state and
# orvanta-snapshot under C.UTF-8 and de_DE.UTF-8 alike, and is the same place as its English
# name (the same `place` line of orvanta-state, and under de_DE.UTF-8 the same picture of
# orvanta-snapshot as for the English name). A name not known is echoed as it was typed.
#
# usage: town_names_test.sh ORVANTA_STATE ORVANTA_SNAPSHOT OUTPUT_DIR
set -u
state=$1 snapshot=$2 out=$3
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LANGUAGE LC_MESSAGES LANG
export XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config TZ=UTC
at=(--utc 2027-02-20T00:14:00)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

locale -a | grep -qix 'de_DE\.utf-\?8' ||
    { echo "FAIL: the locale de_DE.UTF-8 is not generated (tools/install-deps.sh --tests does)"; exit 1; }

# typed|English
names=("Zürich|Zurich" "München|Munich" "Kraków|Krakow" "Reykjavík|Reykjavik" "Łódź|Lodz"
    "Köln|Cologne" "Wien|Vienna" "Singapore|Singapore" "McMurdo|McMurdo")

for pair in "${names[@]}"; do
    typed=${pair%%|*} english=${pair##*|}
    expected=$(LC_ALL=C.UTF-8 "$state" "${at[@]}" --sky --place "$english" 2>&1 | head -1)
    case $expected in
    "place "*) ;;
    *) fail "$english: $expected"; continue ;;
    esac
    for locale in C.UTF-8 de_DE.UTF-8; do
        for name in "$typed" "$english"; do
            got=$(LC_ALL=$locale "$state" "${at[@]}" --sky --place "$name" 2>&1 | head -1)
            [ "$got" = "$expected" ] || fail "orvanta-state --place '$name' under $locale: $got, not $expected"
        done
    done
    # The picture of the typed name is the English name's, in German as in English.
    for locale in C.UTF-8 de_DE.UTF-8; do
        for name in "$typed" "$english"; do
            [ "$name" != "$typed" ] || [ "$typed" != "$english" ] || continue
            LC_ALL=$locale "$snapshot" "${at[@]}" --sky --place "$name" \
                --out "$work/$locale-$name.png" 2>"$work/err" ||
                fail "orvanta-snapshot --place '$name' under $locale: $(cat "$work/err")"
        done
        [ "$typed" != "$english" ] || continue
        differ=$(compare -metric AE "$work/$locale-$typed.png" "$work/$locale-$english.png" null: 2>&1)
        [ "$differ" = 0 ] || fail "orvanta-snapshot '$typed' and '$english' under $locale: $differ pixels differ"
    done
done
cp "$work/de_DE.UTF-8-München.png" "$out/munich-de.png" 2>/dev/null

# Not known: echoed as typed, its UTF-8 as it stands, in every locale.
for locale in C.UTF-8 de_DE.UTF-8; do
    got=$(LC_ALL=$locale "$state" "${at[@]}" --sky --place 'Zürichx' 2>&1)
    [ "$got" = "orvanta-state: --place 'Zürichx' is not a town known here" ] ||
        fail "orvanta-state --place 'Zürichx' under $locale: $got"
    got=$(LC_ALL=$locale "$snapshot" "${at[@]}" --sky --place 'Zürichx' --out "$work/x.png" 2>&1)
    [ "$got" = "orvanta-snapshot: --place 'Zürichx' is not a town known here" ] ||
        fail "orvanta-snapshot --place 'Zürichx' under $locale: $got"
done

[ "$failures" = 0 ] && echo "every name is the same place in every locale" || exit 1
