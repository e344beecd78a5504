#!/usr/bin/env bash
# A native Wayland session, end to end: the real program on Qt's wayland platform under a headless
# compositor (sway, without XWayland, drawing in software) with a panel (waybar) whose tray hosts
# items over D-Bus, on a session bus of its own. The compositor's tree says what it shows; grim
# takes the screenshot through it.
#
# usage: wayland_test.sh ORVANTA OUTPUT_DIR
set -u
[ -n "${ORVANTA_BUS:-}" ] || ORVANTA_BUS=1 exec dbus-run-session -- "$0" "$@"
orvanta=$1 out=$2
source "$(dirname "$0")/session.sh"
unset DISPLAY
export QT_QPA_PLATFORM=wayland WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
printf 'xwayland disable\noutput HEADLESS-1 resolution 1280x800\n' >"$work/sway.conf"
as_user=() # sway refuses to run as root; in a user namespace of its own it is not root
[ "$(id -u)" != 0 ] || as_user=(unshare --user)
"${as_user[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
sockets() { compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" && compgen -G "$XDG_RUNTIME_DIR/wayland-?"; }
check "the compositor starts" within 10 eval 'sockets >/dev/null'
export SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock") WAYLAND_DISPLAY=$(basename "$(compgen -G "$XDG_RUNTIME_DIR/wayland-?")")

# The program's window as the compositor shows it: its client's pid, shell, app id, whether it has
# the focus, and where its content lies.
shown() {
    swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(node):
    yield node
    for child in node["nodes"] + node["floating_nodes"]:
        yield from walk(child)
for n in walk(json.load(sys.stdin)):
    if n.get("name") == "Orvanta 2003" and n["visible"]:
        r, w = n["rect"], n["window_rect"]
        print(n["pid"], n["shell"], n["app_id"], n["focused"], r["x"] + w["x"], r["y"] + w["y"])'
}
focused() { [[ $(shown) == "$first_pid xdg_shell org.orvanta.Orvanta True "* ]]; }
closes() { swaymsg "[pid=$first_pid] kill" >/dev/null && within 5 eval '[ -z "$(shown)" ]'; }

# Started before the panel, as at login.
start_program first
first_pid=$program_pid
check "its window is a native Wayland one (xdg-shell), focused" within 10 focused
printf '{"modules-right": ["tray"]}' >"$work/waybar.json"
waybar -c "$work/waybar.json" >"$work/waybar.log" 2>&1 &
pids+=($!)
check "the panel comes, and the program's tray item registers with it" within 15 ours
sleep 1
grim "$out/wayland-screen.png"
read -r _ _ _ _ x y <<<"$(shown)"
check "both panes drawn (the diagram through EGL)" awk "BEGIN { exit !($(level wayland-screen \
    440x480+$x+$y) > 0.15 && $(level wayland-screen 200x480+$((x + 440))+$y) > 0.1) }"

check "closing hides the window" closes
start_program second
check "a second start exits 0" exits_zero "$program_pid" 5
check "and the window shows again, focused" within 5 focused
check "closing hides it again" closes
sni activate
check "Activate on the tray item shows it" within 5 focused
sni click Exit
check "Exit from the tray menu ends the program with 0" exits_zero "$first_pid" 10
check "not a word on stderr: no Qt warning" [ ! -s "$work/first.log" -a ! -s "$work/second.log" ]

finish
