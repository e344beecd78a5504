#!/usr/bin/env bash
# The windows on a 1920x1080 screen at pixel ratios of 2 and 1, under a window manager: fit_tests
# opens them there; the screens they open on are kept as pictures in OUTPUT_DIR.
#
# usage: fit_test.sh FIT_TESTS OUTPUT_DIR
set -u
fit_tests=$1 out=$2 here=$(dirname "$0")
source "$here/session.sh"
start_x 1920x1080
export DISPLAY=$x_display
check "the window manager starts" start_wm
for ratio in 2 1; do
    rm -rf "$XDG_CONFIG_HOME"
    check "the windows fit at a pixel ratio of $ratio" env QT_SCALE_FACTOR=$ratio \
        ORVANTA_FIT_SHOTS="$out/fit-$ratio" "$fit_tests"
done
finish
