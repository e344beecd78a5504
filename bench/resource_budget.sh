#!/usr/bin/env bash
# What the running widget costs, measured on the real program under Xvfb with Mesa's software
# OpenGL and a tray host: the time from start to the first painted window (both panes drawn),
# resident and private (anonymous) memory, CPU time over a minute and a half of running, and the
# cost of one refresh. The CPU time is set beside that of bench/minimal_widget, run alongside on the
# same display and tray over the same seconds: a bare Qt window repainting a few lines of text once
# a second, with a tray icon. The ratio says how much the widget spends beyond what any such
# window costs; the percentages alone say as much about the machine as about the widget. Reports;
# asserts nothing.
#
# usage: bench/resource_budget.sh [SECONDS]   (after tools/build.sh release; default 90)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-90}
build=build/release
work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
trayer --edge top --align right --widthtype pixel --width 100 --heighttype pixel --height 24 \
    >/dev/null 2>&1 &
pids+=($!)
sleep 1

# Five cold starts of each, the widget's and the minimal widget's in turn, so that both meet the
# machine alike: the first paint of each, and the median.
paints=() minimal_paints=()
firstPaint() { # [--minimal] PROGRAM: the milliseconds; the program's pid in $pid
    local result
    result=$("$build/bench/first_paint" "$@")
    pid=$(echo "$result" | awk '/^pid/ {print $2}')
    ms=$(echo "$result" | awk '/first-paint-ms/ {print $2}')
}
stop() {
    kill "$1"
    while kill -0 "$1" 2>/dev/null; do sleep 0.05; done
}
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
for run in 1 2 3 4 5; do
    firstPaint --minimal "$build/bench/minimal_widget"
    minimal_paints+=("$ms")
    stop "$pid"
    firstPaint "$build/app/orvanta"
    paints+=("$ms")
    echo "start $run: $ms ms to the first painted window (minimal widget ${minimal_paints[-1]} ms)"
    if [ "$run" -lt 5 ]; then
        stop "$pid"
    fi
done
pids+=("$pid")
echo "first paint, median of 5: orvanta $(median "${paints[@]}") ms, minimal widget" \
    "$(median "${minimal_paints[@]}") ms"

# The baseline, started once the widget is up so neither start-up lands in the measured seconds.
"$build/bench/minimal_widget" >/dev/null 2>&1 &
minimal=$!
pids+=("$minimal")
timeout 10 xdotool search --sync --name '^Minimal widget$' >/dev/null

# Nanoseconds on a CPU, summed over the threads (the scheduler's own count: the 10 ms ticks of
# utime and stime are too coarse for a process that works a fraction of a millisecond a second).
cpu() { cat /proc/"$1"/task/*/schedstat | awk '{ns += $1} END {printf "%d", ns}'; }
sleep 5 # past start-up
before=$(cpu "$pid")
minimal_before=$(cpu "$minimal")
sleep "$seconds"
after=$(cpu "$pid")
minimal_after=$(cpu "$minimal")
awk -v t=$((after - before)) -v m=$((minimal_after - minimal_before)) -v s="$seconds" 'BEGIN {
        printf "CPU over %d s: orvanta %.1f ms, %.3f %% of one core (%.2f ms a second)\n", s,
            t / 1e6, 100 * t / 1e9 / s, t / 1e6 / s
        printf "CPU over %d s: minimal widget %.1f ms, %.3f %% of one core (%.2f ms a second)\n",
            s, m / 1e6, 100 * m / 1e9 / s, m / 1e6 / s
        if (m > 0) printf "CPU ratio orvanta / minimal: %.2f\n", t / m
    }'
awk '/^Rss:/ {rss = $2} /^Anonymous:/ {anon = $2} /^Private_Dirty:/ {dirty = $2}
     END { printf "resident %.1f MB, private anonymous %.1f MB (private dirty %.1f MB)\n",
           rss / 1024, anon / 1024, dirty / 1024 }' "/proc/$pid/smaps_rollup"
echo "threads: $(ls "/proc/$pid/task" | wc -l)"
awk '/^Rss:/ {rss = $2} /^Anonymous:/ {anon = $2}
     END { printf "minimal widget: resident %.1f MB, private anonymous %.1f MB\n",
           rss / 1024, anon / 1024 }' "/proc/$minimal/smaps_rollup"
echo "minimal widget threads: $(ls "/proc/$minimal/task" | wc -l)"

"$build/bench/bench_panes" --benchmark_filter=OneSecondRefresh 2>/dev/null | grep OneSecondRefresh
