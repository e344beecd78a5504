# What the end-to-end scripts share, sourced with $out set: a scratch folder with a private runtime
# and settings folder, the processes started ended with the script, virtual X servers, the check
# and wait helpers, the program and its windows, a window manager, the XEmbed tray host with the
# program's icon and menu in it, and what the session bus carries: notifications and tray items.
mkdir -p "$out"
work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
    # and what those started on their own: the accessibility bus's daemon, whose address lies in
    # the scratch folder, outlives its launcher
    pkill -9 -f -- "$work/" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# start_x WIDTHxHEIGHT [XVFB OPTION]...: a virtual X server; its display in $x_display.
start_x() {
    local size=$1 file
    shift
    file=$(mktemp -p "$work")
    exec 3>"$file"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp "$@" >/dev/null 2>&1 &
    pids+=($!)
    exec 3>&-
    for _ in $(seq 50); do [ -s "$file" ] && break; sleep 0.1; done
    x_display=:$(head -n 1 "$file")
}
start_display() { start_x 1280x1024 -noreset && export DISPLAY=$x_display; } # the usual screen
stop() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; } # pid
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1

failures=0
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
within() { # seconds command...: passes as soon as the command does, fails once the seconds are up
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}
# finish [FILE]...: after a failure the logs, or the files named, are shown; then the count.
finish() {
    [ "$failures" -eq 0 ] || if [ $# -gt 0 ]; then cat "$@"; else cat "$work"/*.log; fi
    echo "$failures failed"
    exit "$failures"
}

# ---- the program and its windows, for scripts that set $orvanta ----
start_program() { # log name, then the program's arguments
    local log=$1
    shift
    "$orvanta" "$@" >"$work/$log.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
}
# Not through a command substitution: a subshell cannot wait for this shell's children.
ended() { ! kill -0 "$1" 2>/dev/null || grep -q ') Z ' "/proc/$1/stat" 2>/dev/null; }
exits_zero() { within "$2" ended "$1" && wait "$1"; } # pid seconds
main_window() { xdotool search --name '^Orvanta [0-9][0-9][0-9][0-9]$' 2>/dev/null | head -n 1; }
viewable() { [ -n "$1" ] && xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
main_viewable() { viewable "$(main_window)"; }
main_hidden() { local w; w=$(main_window); [ -n "$w" ] && ! viewable "$w"; }
about_box() { xdotool search --name '^Orvanta Countdown$' 2>/dev/null | head -n 1; }
about_viewable() { viewable "$(about_box)"; }
window_shown() { viewable "$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)"; } # title
# The close box (xclose) hides the main window of process $1, which keeps running.
close_hides() { within 10 main_viewable && "$xclose" "$(main_window)" && within 5 main_hidden && kill -0 "$1"; }
level() { convert "$out/$1.png" -crop "$2" -format "%[fx:${3:-mean}]" info:; } # shot part what

# ---- a window manager, XEmbed trays and menus ----
start_wm() { openbox >"$work/openbox.log" 2>&1 & pids+=($!); within 5 eval "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q '#'"; }
# The main window is the active one, and above the window $cover where there is one.
in_front() {
    local w stack
    w=$(printf '0x%x' "$(main_window)")
    stack=$(xprop -root _NET_ACTIVE_WINDOW _NET_CLIENT_LIST_STACKING)
    main_viewable && [[ $stack == *"# $w"$'\n'*"${cover:-}"*"$w"* ]]
}
start_tray() {
    trayer --edge top --align right --widthtype pixel --width 100 --heighttype pixel --height 24 \
        >"$work/trayer.log" 2>&1 &
    tray_pid=$!
    pids+=("$tray_pid")
    within 5 xwininfo -name panel >/dev/null 2>&1
}
# The centre of the program's icon docked in the XEmbed tray, the window named $1, from the tree.
tray_icon_center() {
    xwininfo -root -tree | awk -v panel="\"${1:-panel}\":" '
        index($0, panel) { depth = match($0, /[^ ]/); next }
        depth && match($0, /[^ ]/) <= depth { depth = 0 }
        depth && /"orvanta"/ {
            split($(NF - 1), size, /[x+]/); split($NF, at, "+")
            print at[2] + int(size[1] / 2), at[3] + int(size[2] / 2); exit }'
}
has_tray_icon() { [ -n "$(tray_icon_center)" ]; }
click_tray() { # button
    local xy
    xy=$(tray_icon_center)
    # shellcheck disable=SC2086
    [ -n "$xy" ] && xdotool mousemove $xy click "$1"
}
# A fresh icon may let its first click pass while it is still being docked.
click_shows() { for _ in 1 2 3; do click_tray 1 && within 2 main_viewable && return 0; done; return 1; }
menu_open() { # a top-level window of the program's class without a title of its own
    for id in $(xwininfo -root -children | awk '/"orvanta": \("orvanta" "orvanta"\)/ {print $1}'); do
        viewable "$id" && return 0
    done
    return 1
}
# Right click on the tray icon (with "window", on the window), then an entry by keyboard: Down for
# the first (About), Up for the last (Exit), "Up Up" for the one above it. A click that arrives
# while the program is still busy with the last one may be lost.
choose_from_tray_menu() { # key [window]
    local try
    for try in 1 2 3; do
        if [ "${2:-}" = window ]; then
            # On the info pane: over the orbit diagram the menu begins with the picture's own.
            xdotool mousemove --window "$(main_window)" 540 200 click 3
        else
            click_tray 3 || return 1
        fi
        within 2 menu_open && break
        [ "$try" -lt 3 ] || { echo "no menu appeared"; return 1; }
        echo "note: no menu after right click $try ($1), clicking again"
    done
    sleep 0.2
    # shellcheck disable=SC2086
    xdotool key $1 Return
}

# ---- the session bus ----
on_bus() { within 5 dbus-send --session --print-reply --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.GetNameOwner "string:$1" >/dev/null 2>&1; }
# A notification service that writes what it is sent to $record, one JSON object a line.
start_notifications() {
    record=$work/notifications
    touch "$record"
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/notification_server.py" "$record" &
    notifications_pid=$!
    pids+=("$notifications_pid")
    on_bus org.freedesktop.Notifications
}
sni() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/sni_client.py" "$@" 2>/dev/null; }
ours() { [ "$(sni pid)" = "$program_pid" ]; } # the tray item registered is the program's
