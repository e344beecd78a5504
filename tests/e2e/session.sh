# What the end-to-end scripts share, sourced with $out set: a scratch folder with a private runtime
# and settings folder, the processes started ended with the script, virtual X servers, and the
# check and wait helpers.
mkdir -p "$out"
work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
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

failures=0
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
within() { # seconds command...
    local limit=$1
    shift
    for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
    return 1
}
