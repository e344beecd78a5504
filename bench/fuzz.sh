#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) and runs each for a bounded time, two at a time:
#
#   bench/fuzz.sh [SECONDS [TARGET...]]     (SECONDS defaults to 300; all targets by default)
#   bench/fuzz.sh --build-only              (builds every target, runs none)
#
# Needs clang with its libFuzzer and sanitizer runtimes (Debian's clang and libclang-rt-dev),
# cmake and ninja; whichever is missing is installed with apt-get. The build is build/fuzz,
# without Qt. Each target starts from a copy of its seeds (fuzz/corpus/TARGET) in
# build/fuzz/corpus/TARGET, which keeps what earlier runs found; the committed seeds are never
# written. What a run finds is kept in build/fuzz/artifacts/TARGET/, its log in
# build/fuzz/logs/TARGET.log. Prints a line a target: its executions, its coverage (cov: edges,
# ft: features) and any crash, hang, leak or memory blow-up with the input's path. Exits 1 if
# anything was found. The runs are not for CI: they take minutes and two cores. --build-only is:
# a target that no longer builds exits non-zero, each such target named by ninja, in the time of
# a build that ccache mostly answers.
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=false
if [ "${1:-}" = --build-only ]; then
    build_only=true
    shift
    [ $# -eq 0 ] || set -- usage
fi
seconds=${1:-300}
shift || true
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: bench/fuzz.sh [SECONDS [TARGET...]] | --build-only" >&2
    exit 2
fi
per_input_timeout=10 # seconds; an input that takes longer is a hang
rss_limit_mb=2048
parallel=2

packages=(clang libclang-rt-dev cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

build=build/fuzz
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
nice -n 10 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DORVANTA_FUZZ=ON -DORVANTA_GUI=OFF -DBUILD_TESTING=OFF \
    -DORVANTA_BENCH=OFF "${launcher[@]}" >/dev/null
# The fuzzers and what they link, not the tools; every target tried, so that all that fail are
# named at once.
if ! nice -n 10 cmake --build "$build" --target fuzzers -j "${FUZZ_BUILD_JOBS:-2}" -- -k 0; then
    echo "bench/fuzz.sh: a fuzz target does not build (see above)" >&2
    exit 1
fi
if $build_only; then
    echo "Every fuzz target builds: $(cut -d' ' -f1 "$build/fuzzers.txt" | paste -sd' ' -)"
    exit 0
fi

# "NAME EXECUTABLE SEEDS", a line a target, as fuzz/CMakeLists.txt lists them.
declare -A executable seeds
names=()
while read -r name exe corpus; do
    executable[$name]=$exe
    seeds[$name]=$corpus
    names+=("$name")
done <"$build/fuzzers.txt"
if [ $# -gt 0 ]; then
    for name in "$@"; do
        if [ -z "${executable[$name]:-}" ]; then
            echo "bench/fuzz.sh: no target $name (there are: ${names[*]})" >&2
            exit 2
        fi
    done
    names=("$@")
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run() {
    local name=$1
    local corpus=$build/corpus/$name artifacts=$build/artifacts/$name
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    cp -r "${seeds[$name]}/." "$corpus/"
    nice -n 19 "${executable[$name]}" -max_total_time="$seconds" -timeout="$per_input_timeout" \
        -rss_limit_mb="$rss_limit_mb" -use_value_profile=1 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" >"$build/logs/$name.log" 2>&1 || true
}

echo "Fuzzing ${names[*]} for $seconds s each, $parallel at a time"
running=0
for name in "${names[@]}"; do
    if [ $running -ge $parallel ]; then
        wait -n || true
        running=$((running - 1))
    fi
    run "$name" &
    running=$((running + 1))
done
wait

found=0
printf '%-20s %12s %8s %8s  %s\n' target executions cov ft findings
for name in "${names[@]}"; do
    log=$build/logs/$name.log
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    # The last status line that tells the coverage: "#N ... cov: C ft: F ...".
    coverage=$(grep -E '^#[0-9]+.* cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
    cov=$(sed -nE 's/.* cov: ([0-9]+) .*/\1/p' <<<"$coverage")
    ft=$(sed -nE 's/.* ft: ([0-9]+) .*/\1/p' <<<"$coverage")
    findings=$(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log" | while read -r path; do
        case $(basename "$path") in
        crash-*) echo "crash $path" ;;
        timeout-*) echo "hang $path" ;;
        leak-*) echo "leak $path" ;;
        oom-*) echo "out-of-memory $path" ;;
        slow-unit-*) ;; # slow but within the timeout: no fault
        *) echo "finding $path" ;;
        esac
    done | paste -sd ';' -)
    if [ -n "$findings" ]; then
        found=1
    fi
    printf '%-20s %12s %8s %8s  %s\n' "$name" "${executions:-?}" "${cov:-?}" "${ft:-?}" \
        "${findings:-none}"
done
if [ $found -ne 0 ]; then
    echo "Findings: see $build/logs/ for the reports; rerun one with EXECUTABLE INPUT"
fi
exit $found
