#!/usr/bin/env bash
# End-to-end test of the real program: Xvfb with a tray host (trayer), driven with xdotool.
#
# usage: gui_test.sh ORVANTA XCLOSE GLX_WITHOUT_CONFIGS OUTPUT_DIR
# Leaves screenshots of the running window in OUTPUT_DIR.
set -u
orvanta=$1
xclose=$2
glx_without_configs=$3
out=$4
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
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

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

start_program() { # name
    "$orvanta" >"$work/$1.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
}

# Waits up to $2 seconds for process $1 to end; true when it ended with exit status 0.
# (Not through a command substitution: a subshell cannot wait for this shell's children.)
ended() { ! kill -0 "$1" 2>/dev/null || grep -q '^Z' "/proc/$1/stat" 2>/dev/null; }
exits_zero() { within "$2" ended "$1" && wait "$1"; }

main_window() { xdotool search --name '^Orvanta 2003$' 2>/dev/null | head -n 1; }
about_box() { xdotool search --name '^Orvanta Countdown$' 2>/dev/null | head -n 1; }
viewable() { [ -n "$1" ] && xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
main_viewable() { viewable "$(main_window)"; }
main_hidden() { local w; w=$(main_window); [ -n "$w" ] && ! viewable "$w"; }
about_viewable() { viewable "$(about_box)"; }
about_gone() { ! about_viewable; }
# The close box hides the window of process $1, which keeps running.
close_hides() { "$xclose" "$(main_window)" && within 5 main_hidden && kill -0 "$1"; }

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
click_shows() { click_tray 1 && within "$1" main_viewable; } # seconds
# The popup menu: a top-level window of the program's class without a title of its own.
menu_open() {
    local id
    for id in $(xwininfo -root -tree |
        awk '/^     0x[0-9a-f]+ "orvanta": \("orvanta" "orvanta"\)/ {print $1}'); do
        viewable "$id" && return 0
    done
    return 1
}
# Right click on the icon, then a menu entry by keyboard: Down for the first (About), Up for the
# last (Exit).
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
exit_from_tray() { choose_from_tray_menu Up && exits_zero "$program_pid" 10; }

placed() {
    within 10 main_viewable && xdotool getwindowgeometry "$(main_window)" | tr '\n' ' ' |
        grep -q 'Position: 640,544 .*Geometry: 640x480'
}
# The orbit diagram's 440 pixels are not black (the photograph alone is mostly light).
diagram_drawn() { # screenshot name
    sleep 1
    import -window "$(main_window)" "$out/$1.png" 2>/dev/null &&
        convert "$out/$1.png" -crop 440x480+0+0 -format '%[fx:mean]' info: |
        awk '{ exit !($1 > 0.15) }'
}
about_centred() {
    local x y w h
    read -r x y w h < <(xwininfo -id "$(about_box)" |
        awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
             /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
    local dx=$((2 * x + w - 1280)) dy=$((2 * y + h - 1024))
    [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ]
}

# ---- first start: window at the bottom right, icon in the tray ----
check "the tray host starts" start_tray
start_program first
first_pid=$program_pid
check "first start shows the 640 x 480 window at the bottom right" placed
check "the icon is in the tray" within 5 has_tray_icon
check "the orbit diagram is drawn" diagram_drawn orvanta-window
import -window root "$out/orvanta-screen.png" 2>/dev/null

# ---- a second start ends at once and leaves one window ----
start_program second
check "a second start exits 0" exits_zero "$program_pid" 5
check "still one window" [ "$(xdotool search --name '^Orvanta 2003$' | wc -l)" -eq 1 ]

# ---- the close box hides; a second start, or a left click on the icon, shows again ----
check "the close box hides the window" close_hides "$first_pid"
start_program third
check "a second start while hidden exits 0" exits_zero "$program_pid" 5
check "and re-shows the hidden window" within 5 main_viewable
check "the close box hides the window again" close_hides "$first_pid"
check "a left click on the icon shows the window" click_shows 5
# Moved by the user, the window stays there when it is hidden and shown again.
xdotool windowmove "$(main_window)" 100 80
sleep 0.5
check "the close box hides the moved window" close_hides "$first_pid"
check "and a left click shows it" click_shows 5
sleep 0.5
check "where it was moved to" sh -c "xdotool getwindowgeometry $(main_window) | grep -q 'Position: 100,80'"

# ---- About, opened while the window is hidden: centred, and the window stays hidden; Escape and
# the close box leave it open, OK closes it ----
check "the close box hides the window before About" close_hides "$first_pid"
choose_from_tray_menu Down
check "right click > About opens the box" within 5 about_viewable
check "the window stays hidden" main_hidden
check "the box is centred in the work area" about_centred
xdotool mousemove_relative 0 0
xdotool windowfocus "$(about_box)" 2>/dev/null
xdotool key Escape
"$xclose" "$(about_box)"
sleep 1
check "Escape and the close box leave it open" about_viewable
xdotool windowfocus "$(about_box)" 2>/dev/null
xdotool key Return
check "OK closes the About box" within 5 about_gone

# ---- Exit while the About box is open ends cleanly ----
choose_from_tray_menu Down
check "About opens again" within 5 about_viewable
program_pid=$first_pid
check "Exit with the About box open ends with 0" exit_from_tray
check "Exit removes the tray icon" within 5 no_tray_icon

# ---- a crashed instance's marker does not block a new start ----
start_program crashing
check "a window before the crash" within 10 main_viewable
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null
start_program after_crash
check "a start after a crash shows its window" within 10 main_viewable
check "right click > Exit ends with 0" exit_from_tray

# ---- where Mesa's EGL is not there, the diagram comes through Qt's own OpenGL binding ----
__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json start_program qt_opengl
check "a window without EGL" within 10 main_viewable
check "the diagram without EGL" diagram_drawn orvanta-window-qt-opengl
check "Exit without EGL" exit_from_tray

# ---- no OpenGL at all (no EGL, and a GLX without configurations): the window all the same ----
__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json LD_PRELOAD=$glx_without_configs \
    start_program no_opengl
check "a window without any OpenGL" within 10 main_viewable
sleep 1
import -window "$(main_window)" "$out/orvanta-window-no-opengl.png" 2>/dev/null
check "its info pane drawn, its diagram black" sh -c "
    convert '$out/orvanta-window-no-opengl.png' -crop 200x480+440+0 -format '%[fx:mean]' info: |
        awk '{ exit !(\$1 > 0.1) }' &&
    convert '$out/orvanta-window-no-opengl.png' -crop 440x480+0+0 -format '%[fx:maxima]' info: |
        awk '{ exit !(\$1 == 0) }'"
check "and one line saying so" sh -c "[ \"\$(cat '$work/no_opengl.log')\" = 'orvanta: no OpenGL to be had: the orbit diagram stays empty' ]"
check "Exit without OpenGL" exit_from_tray

# ---- at a device pixel ratio of 2: twice the pixels, the diagram drawn ----
QT_SCALE_FACTOR=2 start_program hidpi
check "a window at ratio 2" within 10 main_viewable
check "of 1280 x 960 screen pixels" sh -c "xdotool getwindowgeometry $(main_window) | grep -q 'Geometry: 1280x960'"
sleep 1
import -window "$(main_window)" "$out/orvanta-window-ratio2.png" 2>/dev/null
check "its diagram drawn" sh -c "convert '$out/orvanta-window-ratio2.png' -crop 880x960+0+0 -format '%[fx:mean]' info: | awk '{ exit !(\$1 > 0.15) }'"
check "Exit at ratio 2" exit_from_tray

# ---- the wall clock jumps two months: the diagram shows it at once, not a quarter hour later ----
echo +0 >"$work/faketime"
LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1 FAKETIME_NO_CACHE=1 \
    FAKETIME_TIMESTAMP_FILE="$work/faketime" FAKETIME_DONT_FAKE_MONOTONIC=1 start_program jump
check "a window on a clock of its own" within 10 main_viewable
check "its diagram drawn" diagram_drawn orvanta-before-jump
echo +60d >"$work/faketime"
sleep 2
check "after the jump the diagram has moved on" diagram_drawn orvanta-after-jump
check "that is, it differs" sh -c "[ \$(compare -metric AE -crop 440x480+0+0 '$out/orvanta-before-jump.png' '$out/orvanta-after-jump.png' null: 2>&1) -gt 500 ]"
check "Exit after the jump" exit_from_tray

# ---- started before the panel (as at login): closing hides, and the icon comes with the panel ----
kill "$tray_pid" 2>/dev/null
wait "$tray_pid" 2>/dev/null
start_program before_panel
check "a window without a tray host" within 10 main_viewable
check "closing while waiting for the panel hides" close_hides "$program_pid"
check "the tray host starts again" start_tray
check "the icon comes when the panel does" within 10 has_tray_icon
# A fresh icon may let its first click pass while it is still being docked.
for _ in 1 2 3; do click_shows 2 && break; done
check "and a left click shows the window" main_viewable
check "Exit after the panel came" exit_from_tray

# ---- a display that cannot be reached: one line saying so, exit 1 (not an abort) ----
DISPLAY=:4242 "$orvanta" >"$work/unreachable.log" 2>&1
status=$?
check "an unreachable display ends with exit 1" [ "$status" = 1 ]
check "in one line" [ "$(wc -l <"$work/unreachable.log")" = 1 ]
check "naming the display" grep -q "cannot open the X11 display ':4242'" "$work/unreachable.log"

# ---- a screen smaller than the window: its top-left corner stays on the screen ----
exec 3>"$work/small-display"
Xvfb -displayfd 3 -screen 0 320x200x24 -nolisten tcp >"$work/xvfb-small.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [ -s "$work/small-display" ] && break; sleep 0.1; done
DISPLAY=:$(head -n 1 "$work/small-display") start_program small
small_placed() {
    DISPLAY=:$(head -n 1 "$work/small-display") xdotool search --name '^Orvanta 2003$' \
        getwindowgeometry 2>/dev/null | grep -q 'Position: 0,0'
}
check "on a 320 x 200 screen the window starts at its top-left" within 10 small_placed
kill "$program_pid"

# ---- platforms that cannot be had, or cannot show a window: one line, exit 1 ----
for how in "-platform bogus" "QT_QPA_PLATFORM=bogus" "-display :9999" "-platform offscreen" \
    "--platform minimal"; do
    case $how in
    -*) "$orvanta" $how >"$work/platform.log" 2>&1 ;;
    *) env "$how" "$orvanta" >"$work/platform.log" 2>&1 ;;
    esac
    status=$?
    check "$how ends with exit 1 in one line" \
        [ "$status:$(wc -l <"$work/platform.log")" = 1:1 ]
done

if [ "$failures" -ne 0 ]; then
    for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done
fi
echo "$failures failed"
exit "$failures"
