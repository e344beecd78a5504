#!/usr/bin/env bash
# End-to-end test of the real program: Xvfb with a tray host (trayer), driven with xdotool. What the
# widgets decide alone (the About box's keys, the leftovers of a crash) is widgets_test's and
# single_instance_test's.
#
# usage: gui_test.sh ORVANTA XCLOSE GLX_WITHOUT_CONFIGS OUTPUT_DIR
# Leaves screenshots of the running window in OUTPUT_DIR.
set -u
orvanta=$1 xclose=$2 glx_without_configs=$3 out=$4
source "$(dirname "$0")/session.sh"
start_display
xsetroot -solid '#505a70' # so that the window stands out in the screenshot

one_window_shown() { [ "$(xdotool search --name '^Orvanta 2003$' | wc -l)" = 1 ] && main_viewable; }

exit_from_tray() { choose_from_tray_menu Up && exits_zero "$program_pid" 10; }

at() { # X,Y,WIDTHxHEIGHT of the main window, a pattern
    eval "$(xdotool getwindowgeometry --shell "$(main_window)")" && [[ $X,$Y,${WIDTH}x$HEIGHT == $1 ]]
}
# A screenshot of the window, kept in OUTPUT_DIR, and the mean or the maximum of a part of it.
shot() { within 10 main_viewable && sleep 1 && import -window "$(main_window)" "$out/$1.png"; }
# The orbit diagram is not black (the photograph alone is mostly light).
diagram_drawn() { shot "$1" 2>/dev/null && awk "BEGIN { exit !($(level "$1" "${2:-440x480+0+0}") > 0.15) }"; }
about_centred() { # to within two pixels either way
    eval "$(xdotool getwindowgeometry --shell "$(about_box)")"
    [ $(((2 * X + WIDTH - 1280) ** 2 + (2 * Y + HEIGHT - 1024) ** 2)) -le 8 ]
}

# ---- first start: window at the bottom right, icon in the tray ----
check "the tray host starts" start_tray
start_program first
first_pid=$program_pid
check "first start shows the 640 x 480 window at the bottom right" \
    eval 'within 10 main_viewable && at 640,544,640x480'
check "the icon is in the tray" within 5 has_tray_icon
check "the orbit diagram is drawn" diagram_drawn orvanta-window
import -window root "$out/orvanta-screen.png" 2>/dev/null

# ---- the close box hides; a second start ends at once and shows it again, as a left click does
# where the user has moved it ----
check "the close box hides the window" close_hides "$first_pid"
start_program second
check "a second start exits 0" exits_zero "$program_pid" 5
check "and the one window shows again" within 5 one_window_shown
xdotool windowmove "$(main_window)" 100 80
check "the window moves" within 5 at 100,80,640x480
check "the close box hides the moved window" close_hides "$first_pid"
check "a left click on the icon shows it" click_shows
check "where it was moved to" within 5 at 100,80,640x480

# ---- About, opened while the window is hidden: centred, and the window stays hidden; Exit with
# the box open ends cleanly ----
check "the close box hides the window before About" close_hides "$first_pid"
choose_from_tray_menu Down
check "right click > About opens the box" within 5 about_viewable
check "the window stays hidden" main_hidden
check "the box is centred in the work area" about_centred
program_pid=$first_pid
check "Exit with the About box open ends with 0" exit_from_tray

# ---- where Mesa's EGL is not there, the diagram comes through Qt's own OpenGL binding ----
__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json start_program qt_opengl
check "the diagram without EGL" diagram_drawn orvanta-window-qt-opengl
check "Exit without EGL" exit_from_tray

# ---- no OpenGL at all (no EGL, and a GLX without configurations): the window all the same ----
__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json LD_PRELOAD=$glx_without_configs \
    start_program no_opengl
no_diagram() {
    shot orvanta-window-no-opengl 2>/dev/null && awk "BEGIN { exit !($(level orvanta-window-no-opengl \
        200x480+440+0) > 0.1 && $(level orvanta-window-no-opengl 440x480+0+0 maxima) == 0) }"
}
check "without any OpenGL, its info pane drawn, its diagram black" no_diagram
check "and one line saying so" [ "$(cat "$work/no_opengl.log")" = 'orvanta: no OpenGL to be had: the orbit diagram stays empty' ]
check "Exit without OpenGL" exit_from_tray

# ---- the wall clock jumps two months (the steady clock does not): the diagram shows it at once,
# not a quarter hour later ----
echo +0 >"$work/faketime"
LD_PRELOAD=$faketime_lib FAKETIME_NO_CACHE=1 FAKETIME_TIMESTAMP_FILE="$work/faketime" FAKETIME_DONT_FAKE_MONOTONIC=1 start_program jump
check "a window on a clock of its own, its diagram drawn" diagram_drawn orvanta-before-jump
echo +60d >"$work/faketime"
moved_on() {
    diagram_drawn orvanta-after-jump && [ "$(compare -metric AE -crop 440x480+0+0 \
        "$out/orvanta-before-jump.png" "$out/orvanta-after-jump.png" null: 2>&1)" -gt 500 ]
}
check "after the jump the diagram has moved on" within 15 moved_on
check "Exit after the jump" exit_from_tray

# ---- started before the panel (as at login): closing hides, and the icon comes with the panel ----
stop "$tray_pid"
start_program before_panel
check "without a tray host: a window, and closing it hides it" close_hides "$program_pid"
check "the tray host starts again" start_tray
check "the icon comes when the panel does" within 10 has_tray_icon
check "and a left click shows the window" click_shows
check "Exit after the panel came" exit_from_tray

# ---- displays and platforms that cannot be had, or cannot show a window: exit 1 (not an abort),
# one line that names what is wrong ----
for c in "DISPLAY=:4242|cannot open the X11 display ':4242'" "-display :9999|display ':9999'" \
    "-platform bogus|no Qt platform 'bogus'" "QT_QPA_PLATFORM=bogus|no Qt platform 'bogus'" \
    "-platform offscreen|'offscreen' cannot show" "--platform minimal|'minimal' cannot show"; do
    how=${c%|*}
    case $how in
    -*) "$orvanta" $how >"$work/platform.log" 2>&1 ;;
    *) env "$how" "$orvanta" >"$work/platform.log" 2>&1 ;;
    esac
    status=$?
    check "$how ends with exit 1 in one line" \
        [ "$status:$(wc -l <"$work/platform.log"):$(grep -c "${c#*|}" "$work/platform.log")" = 1:1:1 ]
done

finish
