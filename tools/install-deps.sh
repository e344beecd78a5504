#!/usr/bin/env bash
# Installs the Debian packages that building and running Orvanta need, if any is missing:
#   tools/install-deps.sh           what tools/run.sh needs
#   tools/install-deps.sh --tests   that, and what the tests and benchmarks need (tools/test.sh)
set -euo pipefail

tests=false
case "${1:-}" in
"") ;;
--tests) tests=true ;;
*)
    echo "usage: tools/install-deps.sh [--tests]" >&2
    exit 2
    ;;
esac

packages=(
    cmake ninja-build g++
    qt6-base-dev libx11-dev libxcb1-dev fonts-dejavu-core
    # the towns by name with their places and time zones, and the zones' clocks
    libgeonames-dev tzdata
    # OpenGL for the orbit diagram: EGL and OpenGL headers, Mesa's EGL and GLX and its software
    # renderer
    libegl-dev libopengl-dev libegl-mesa0 libglx-mesa0 libgl1-mesa-dri
)
test_packages=(
    libgtest-dev libbenchmark-dev
    # the clang-tidy checks of CI
    clang-tidy
    locales
    # the end-to-end tests: a virtual display, a tray host, input and screenshots
    xvfb trayer xdotool x11-utils x11-xserver-utils imagemagick faketime
    # what the settings test watches the program open
    strace
    # the calendar file read back by an independent parser; a session bus and a notification
    # service for the reminders
    python3-icalendar dbus python3-dbus python3-gi
    # the accessibility bus and a client that reads the window as a screen reader does
    at-spi2-core python3-pyatspi
    # the desktops people run: a window manager, Xfce's panel (its tray hosts items over D-Bus), a
    # headless Wayland compositor with a panel and screenshots, Qt's Wayland platform
    openbox xfce4-panel sway waybar grim qt6-wayland
)
# The texts are checked under these process locales, whose decimal point is a comma.
test_locales=(de_DE fr_FR)
if [ "$tests" = true ]; then
    packages+=("${test_packages[@]}")
else
    test_locales=()
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

for l in ${test_locales[@]+"${test_locales[@]}"}; do
    if ! locale -a 2>/dev/null | grep -qix "$l\.utf-\?8"; then
        echo "Generating the locale $l.UTF-8"
        "${sudo[@]}" localedef -i "$l" -c -f UTF-8 "$l.UTF-8"
    fi
done
