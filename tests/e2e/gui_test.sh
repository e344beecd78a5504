#!/usr/bin/env bash
# End-to-end test of the real program: Xvfb with a tray host (trayer), driven with xdotool.
#
# usage: gui_test.sh ORVANTA XCLOSE OUTPUT_DIR
# Leaves a screenshot of the running window in OUTPUT_DIR.
set -u
orvanta=$1
xclose=$2
out=$3
mkdir -p "$out"

work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

pids=()
cleanup() {
    for p in "${pids[@]}"; do
        kill -9 "$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
xsetroot -solid '#505a70' # so that the window stands out in the screenshot

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Polls a command for up to $1 seconds.
within() {
    local limit=$1
    shift
    for _ in $(seq $((limit * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

start_tray() {
    trayer --edge top --align right --widthtype pixel --width 100 --heighttype pixel --height 24 \
        >"$work/trayer.log" 2>&1 &
    tray_pid=$!
    pids+=("$tray_pid")
    within 5 xwininfo -name panel >/dev/null 2>&1
}
stop_tray() { kill "$tray_pid" 2>/dev/null; wait "$tray_pid" 2>/dev/null; }

start_program() { # name
    "$orvanta" >"$work/$1.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
}

# Waits up to $2 seconds for process $1 to end; sets `status` to its exit status, or "running".
# (Not through a command substitution: a subshell cannot wait for this shell's children.)
ended() { ! kill -0 "$1" 2>/dev/null || grep -q '^Z' "/proc/$1/stat" 2>/dev/null; }
finish() {
    if within "$2" ended "$1"; then
        wait "$1"
        status=$?
    else
        status=running
    fi
}

main_window() { xdotool search --name '^Orvanta 2003$' 2>/dev/null | head -n 1; }
about_box() { xdotool search --name '^Orvanta Countdown$' 2>/dev/null | head -n 1; }
has_main_window() { [ -n "$(main_window)" ]; }
viewable() { [ -n "$1" ] && xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
main_viewable() { viewable "$(main_window)"; }
main_hidden() { local w; w=$(main_window); [ -n "$w" ] && ! viewable "$w"; }
about_viewable() { viewable "$(about_box)"; }
about_gone() { ! about_viewable; }

# Centre of the program's icon in the tray host, from the window tree.
tray_icon_center() {
    xwininfo -root -tree | awk '
        /"panel"/ { inside = 1; next }
        inside && /"orvanta"/ {
            split($(NF - 1), size, /[x+]/); split($NF, at, "+")
            print at[2] + int(size[1] / 2), at[3] + int(size[2] / 2); exit }'
}
has_tray_icon() { [ -n "$(tray_icon_center)" ]; }
no_tray_icon() { ! has_tray_icon; }
click_tray() { # button
    local xy
    xy=$(tray_icon_center)
    [ -n "$xy" ] || return 1
    # shellcheck disable=SC2086
    xdotool mousemove $xy click "$1"
}
# Right click on the icon, then a menu entry by keyboard: Down for the first (About), Up for the
# last (Exit).
# The popup menu: a top-level window of the program's class without a title of its own.
menu_open() {
    local id
    for id in $(xwininfo -root -tree |
        awk '/^     0x[0-9a-f]+ "orvanta": \("orvanta" "orvanta"\)/ {print $1}'); do
        viewable "$id" && return 0
    done
    return 1
}
choose_from_tray_menu() {
    # A click that arrives while the program is still busy with the last one may be lost: retry.
    local try
    for try in 1 2 3; do
        click_tray 3 || return 1
        within 2 menu_open && break
        [ "$try" -lt 3 ] || { echo "no menu appeared"; return 1; }
        echo "note: no menu after right click $try ($1), clicking again"
    done
    sleep 0.2
    xdotool key "$1" Return
}

# ---- first start: window at the bottom right, icon in the tray ----
start_tray || fail "the tray host did not start"
start_program first
if within 10 has_main_window && within 5 main_viewable; then
    geometry=$(xdotool getwindowgeometry "$(main_window)")
    if echo "$geometry" | grep -q 'Position: 640,544' && echo "$geometry" | grep -q 'Geometry: 640x480'; then
        pass "first start shows the 640 x 480 window at the bottom right"
    else
        fail "window placement: $geometry"
    fi
else
    fail "no main window appeared"
fi
within 5 has_tray_icon && pass "the icon is in the tray" || fail "no tray icon"
sleep 1
import -window root "$out/orvanta-screen.png" 2>/dev/null || fail "no screenshot"
import -window "$(main_window)" "$out/orvanta-window.png" 2>/dev/null || fail "no window screenshot"
# The orbit diagram is drawn: its 440 pixels are not black (the photograph alone is mostly light).
diagram_drawn() { # screenshot
    local mean
    mean=$(convert "$1" -crop 440x480+0+0 -format '%[fx:mean]' info: 2>/dev/null)
    awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.15) }'
}
diagram_drawn "$out/orvanta-window.png" && pass "the orbit diagram is drawn" || fail "no orbit diagram"

# ---- a second start ends at once and leaves one window ----
first_pid=$program_pid
start_program second
finish "$program_pid" 5
[ "$status" = 0 ] && pass "a second start exits 0" || fail "second start: $status"
[ "$(xdotool search --name '^Orvanta 2003$' | wc -l)" -eq 1 ] && pass "still one window" ||
    fail "more than one main window"

# ---- the close box hides; a second start, or a left click on the icon, shows again ----
"$xclose" "$(main_window)"
within 5 main_hidden && kill -0 "$first_pid" && pass "the close box hides the window" ||
    fail "close box did not hide"
start_program third
finish "$program_pid" 5
within 5 main_viewable && [ "$status" = 0 ] && pass "a second start re-shows the hidden window" ||
    fail "second start while hidden: $status"
"$xclose" "$(main_window)"
within 5 main_hidden || fail "close box did not hide (again)"
click_tray 1
within 5 main_viewable && pass "a left click on the icon shows the window" || fail "left click"

# ---- About, opened while the window is hidden: centred, and the window stays hidden; Escape and
# the close box leave it open, OK closes it ----
"$xclose" "$(main_window)"
within 5 main_hidden || fail "close box did not hide (before About)"
choose_from_tray_menu Down
if within 5 about_viewable; then
    pass "right click > About opens the box"
    main_hidden && pass "the window stays hidden" || fail "About showed the main window"
    read -r x y w h < <(xwininfo -id "$(about_box)" |
        awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
             /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
    dx=$((2 * x + w - 1280))
    dy=$((2 * y + h - 1024))
    [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] && pass "the box is centred in the work area" ||
        fail "About box at $x,$y size ${w}x$h is not centred"
    xdotool mousemove_relative 0 0
    xdotool windowfocus "$(about_box)" 2>/dev/null
    xdotool key Escape
    "$xclose" "$(about_box)"
    sleep 1
    about_viewable && pass "Escape and the close box leave it open" || fail "About closed without OK"
    xdotool windowfocus "$(about_box)" 2>/dev/null
    xdotool key Return
    within 5 about_gone && pass "OK closes the About box" || fail "OK did not close the box"
else
    fail "no About box"
fi

# ---- Exit while the About box is open ends cleanly ----
choose_from_tray_menu Down
within 5 about_viewable || fail "no About box (second time)"
choose_from_tray_menu Up
finish "$first_pid" 10
[ "$status" = 0 ] && pass "Exit with the About box open ends with 0" || fail "Exit over About: $status"
within 5 no_tray_icon && pass "Exit removes the tray icon" || fail "icon left in the tray"

# ---- right click > Exit ----
start_program fourth
within 10 has_tray_icon || fail "no tray icon after restart"
choose_from_tray_menu Up
finish "$program_pid" 10
[ "$status" = 0 ] && pass "right click > Exit ends with 0" || fail "Exit: $status"

# ---- a crashed instance's marker does not block a new start ----
start_program crashing
within 10 has_main_window || fail "no window before the crash"
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null
start_program after_crash
within 10 main_viewable && pass "a start after a crash shows its window" || fail "blocked by a stale marker"

choose_from_tray_menu Up
finish "$program_pid" 10
[ "$status" = 0 ] || fail "Exit after the crash test: $status"

# ---- where Mesa's EGL is not there, the diagram comes through Qt's own OpenGL binding ----
__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json start_program qt_opengl
if within 10 main_viewable; then
    sleep 1
    import -window "$(main_window)" "$out/orvanta-window-qt-opengl.png" 2>/dev/null
    diagram_drawn "$out/orvanta-window-qt-opengl.png" && pass "the diagram without EGL" ||
        fail "no orbit diagram without EGL"
else
    fail "no window without EGL"
fi
choose_from_tray_menu Up
finish "$program_pid" 10

# ---- started before the panel (as at login): closing hides, and the icon comes with the panel ----
stop_tray
start_program before_panel
within 10 main_viewable || fail "no window without a tray host"
"$xclose" "$(main_window)"
within 5 main_hidden && kill -0 "$program_pid" && pass "closing while waiting for the panel hides" ||
    fail "close while waiting for the panel"
start_tray || fail "the tray host did not start again"
within 10 has_tray_icon && pass "the icon comes when the panel does" || fail "no icon after the panel came"
# A fresh icon may let its first click pass while it is still being docked.
for _ in 1 2 3; do
    click_tray 1
    within 2 main_viewable && break
done
main_viewable && pass "and it shows the window" || fail "left click after the panel came"
choose_from_tray_menu Up
finish "$program_pid" 10
[ "$status" = 0 ] || fail "Exit after the panel came: $status"

# ---- a display that cannot be reached: one line saying so, exit 1 (not an abort) ----
DISPLAY=:4242 "$orvanta" >"$work/unreachable.log" 2>&1
status=$?
if [ "$status" = 1 ] && [ "$(wc -l <"$work/unreachable.log")" = 1 ] &&
    grep -q "cannot open the X11 display ':4242'" "$work/unreachable.log"; then
    pass "an unreachable display is reported in one line, exit 1"
else
    fail "unreachable display: status $status"
fi

if [ "$failures" -ne 0 ]; then
    for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done
fi
echo "$failures failed"
exit "$failures"
