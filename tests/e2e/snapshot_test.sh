#!/usr/bin/env bash
# orvanta-snapshot as a user runs it: no display at all, good and bad command lines. (The picture
# itself, at its default size and at others, is references_test's.)
#
# usage: snapshot_test.sh ORVANTA_SNAPSHOT OUTPUT_DIR
set -u
snapshot=$1 out=$2
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config TZ=UTC
at=(--utc 2003-08-27T09:52:19)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Larger than the window the program shows, too.
"$snapshot" "${at[@]}" --size 830x900 --out "$out/snapshot-830x900.png" 2>"$work/err" &&
    [ "$(identify -format '%wx%h' "$out/snapshot-830x900.png")" = 830x900 ] ||
    fail "--size 830x900: $(cat "$work/err")"
"$snapshot" "${at[@]}" --out "$out/snapshot.png" || fail "the default size"

# With no OpenGL to be had the window is still drawn, and the empty diagram is said so: in one
# line, and in the exit status.
__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json "$snapshot" "${at[@]}" --out "$work/no-gl.png" \
    2>"$work/err"
status=$?
[ "$status" = 1 ] && [ -s "$work/no-gl.png" ] && [ "$(wc -l <"$work/err")" = 1 ] &&
    grep -q "no OpenGL to be had: the orbit diagram stays empty" "$work/err" ||
    fail "without OpenGL: status $status, $(cat "$work/err")"

# Only a regular file is replaced: a device or a pipe stays what it was. The device node is the
# test's own (the null device's numbers), never one in /dev.
mkfifo "$work/pipe"
targets=("$work/pipe")
if [ "$(id -u)" = 0 ]; then
    mknod "$work/node" c 1 3
    targets+=("$work/node")
fi
for target in "${targets[@]}"; do
    kind=$(stat -c %F "$target")
    "$snapshot" "${at[@]}" --out "$target" 2>"$work/err"
    status=$?
    [ "$status" = 2 ] && [ "$(stat -c %F "$target")" = "$kind" ] &&
        grep -q "not a regular file" "$work/err" || fail "--out $target: status $status"
done

# What cannot be honoured is refused before anything is drawn, in one line with the real reason,
# and no file is written.
refused() { # stderr fragment, arguments...
    local said=$1 status
    shift
    rm -f "$work/refused.png"
    "$snapshot" "$@" >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] && grep -qF -- "$said" "$work/err" &&
        [ ! -s "$work/out" ] && [ ! -e "$work/refused.png" ] ||
        fail "refusing [$*]: status $status, $(cut -c1-200 "$work/err")"
}
refused "drawn only from 280x360" --approaches --size 1x1 --out "$work/refused.png"
refused "drawn only from" --sky --place 52,13 "${at[@]}" --size 50x50 --out "$work/refused.png"
refused "Mars has no closest approach in 2026" --loop 2026 --out "$work/refused.png"
refused "--nights 2004: Mars has no closest approach" --nights 2004 --out "$work/refused.png"
refused "is not a feature of Mars" --nights 2027 --feature Atlantis --out "$work/refused.png"
refused "no file can be made in its folder" "${at[@]}" --out /proc/version
refused "...' (100000 bytes)" --sky "${at[@]}" --place "$(printf '1%.0s' $(seq 100000))" \
    --out "$work/refused.png"
refused "height outside -500 to 9000 m" --sky "${at[@]}" --place 52.5,13.4,1e308 \
    --out "$work/refused.png"
refused "'Xanadu' is not a town known here" --sky "${at[@]}" --place Xanadu \
    --out "$work/refused.png"
refused "--clock 'UTC' is not place, ut or computer" --sky "${at[@]}" --clock UTC \
    --out "$work/refused.png"
refused "--clock needs --sky" "${at[@]}" --clock ut --out "$work/refused.png"
refused "--utc and --typed cannot be combined" --sky "${at[@]}" --typed 2028-03-26T02:30:00 \
    --out "$work/refused.png"
refused "--typed needs --sky" --typed 2028-03-26T02:30:00 --out "$work/refused.png"
refused "--red needs --sky or --approaches" "${at[@]}" --red --out "$work/refused.png"
refused "--typed '2028-02-30T02:30:00': the month has no day 30" --sky \
    --typed 2028-02-30T02:30:00 --out "$work/refused.png"
# A time typed on the clock that lies outside the years once read on it (Berlin's clock ran ahead
# of UT then).
TZ=Europe/Berlin refused "--typed 0100-01-01T00:30:00: on that clock it lies outside the years" \
    --sky --place 52.52,13.405 --clock computer --typed 0100-01-01T00:30:00 \
    --out "$work/refused.png"

# A link is followed to the file it names, which keeps its permissions; a long name is fine.
mkdir "$work/real"
echo old >"$work/real/target.png"
chmod 600 "$work/real/target.png"
ln -s real/target.png "$work/link.png"
long=$work/$(printf 'a%.0s' $(seq 245)).png
"$snapshot" --utc 2003-08-27T09:52:19 --out "$work/link.png" 2>/dev/null &&
    [ -L "$work/link.png" ] && [ "$(stat -c %a "$work/real/target.png")" = 600 ] &&
    cmp -s "$work/real/target.png" "$out/snapshot.png" &&
    "$snapshot" --utc 2003-08-27T09:52:19 --out "$long" 2>/dev/null && [ -s "$long" ] ||
    fail "a link, a private file, a long name"

# The "Mars tonight" window, as drawn without a display.
TZ=Europe/Berlin "$snapshot" --sky --utc 2027-02-20T00:14:00 --place 52.52,13.405,34 \
    --out "$out/sky.png" 2>"$work/err" && [ "$(identify -format '%wx%h' "$out/sky.png")" = 1000x520 ] &&
    [ ! -s "$work/err" ] || fail "--sky: $(cat "$work/err")"

# The Approaches window, over a span of its own, without --utc (now).
"$snapshot" --approaches --from 1995 --years 47 --out "$out/approaches.png" 2>"$work/err" &&
    [ "$(identify -format '%wx%h' "$out/approaches.png")" = 1000x720 ] && [ ! -s "$work/err" ] ||
    fail "--approaches: $(cat "$work/err")"

# Mars's loop alone, at a size of its own.
"$snapshot" --loop 2027 --size 480x330 --out "$out/loop.png" 2>"$work/err" &&
    [ "$(identify -format '%wx%h' "$out/loop.png")" = 480x330 ] && [ ! -s "$work/err" ] ||
    fail "--loop: $(cat "$work/err")"

# A full disk is told once, with its reason.
if mkdir "$work/full" && mount -t tmpfs -o size=16k tmpfs "$work/full" 2>/dev/null; then
    "$snapshot" "${at[@]}" --out "$work/full/a.png" 2>"$work/err"
    status=$?
    [ "$status" = 2 ] && [ "$(wc -l <"$work/err")" = 1 ] &&
        grep -q "No space left on device" "$work/err" && [ -z "$(ls -A "$work/full")" ] ||
        fail "a full disk: status $status, $(cat "$work/err")"
    umount "$work/full"
else
    echo "note: no tmpfs to fill here; the full-disk case is not run"
fi

# Bad command lines: one line on stderr, nothing on stdout, exit 2, no file left behind. (Which
# instants are refused is state_tool_test's: the tools read them alike.)
mkdir -p "$work/readonly"
chmod 555 "$work/readonly"
o=$work/refused.png
bad_cases=(
    "--utc 2003-08-27 --out $o" "--out $o" "${at[*]}" "${at[*]} --out $o --size 640"
    "${at[*]} --out $o --size 0x480" "${at[*]} --out $o --size 640x4097"
    "${at[*]} --out $o --size 64.5x48" "${at[*]} --out $o --size x480"
    "${at[*]} --out $o --frobnicate" "${at[*]} --out $work/missing/a.png" "${at[*]} --out $work"
    "--approaches --from 0 --out $o" "--approaches --years 500 --out $o"
    "${at[*]} --from 2000 --out $o" "--sky --approaches ${at[*]} --out $o"
    "--loop 20x --out $o" "--loop 6000 --out $o" "--loop 2027 --sky --out $o"
    "--loop 2027 ${at[*]} --out $o" "--sky ${at[*]} --disk upside --out $o"
    "${at[*]} --disk mirrored --out $o"
)
# Unwritable folders stop only users without the right to ignore permissions.
[ "$(id -u)" -ne 0 ] && bad_cases+=("${at[*]} --out $work/readonly/a.png")
for args in "${bad_cases[@]}"; do
    # shellcheck disable=SC2086
    refused "" $args
    [ ! -e "$work/missing" ] && [ -z "$(ls -A "$work/readonly")" ] || fail "[$args] left a file"
done
"$snapshot" --help | grep -q "^usage: orvanta-snapshot" || fail "--help"

echo "$failures failed"
exit "$failures"
