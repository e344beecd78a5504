#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: all of them on the release build, the
# core and widget tests again under AddressSanitizer and UndefinedBehaviorSanitizer, and those
# whose code starts threads under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --tests
# Everything the tests start (servers, panels, buses, the program) inherits this mark, and must
# have ended when they end; processes of the user's own, without it, are none of ours.
ORVANTA_TEST_RUN="$$.$(date +%s%N)"
export ORVANTA_TEST_RUN
tools/build.sh release
ctest --test-dir build/release --output-on-failure
tools/build.sh sanitize
ctest --test-dir build/sanitize --label-regex 'core|sanitized' --output-on-failure
tools/build.sh thread
# The approaches' pieces on threads of their own and the number text they format.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build/thread/tests/state_tool_tests
TSAN_OPTIONS="halt_on_error=1" build/thread/tests/display_core_tests --gtest_filter='FormatThousands.*'
left=()
for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [ "$pid" != $$ ] && [ "$pid" != "$BASHPID" ] || continue
    if grep -qzxF "ORVANTA_TEST_RUN=$ORVANTA_TEST_RUN" "$environ" 2>/dev/null; then
        left+=("$pid")
    fi
done
# What ended while it was read is not left.
alive=()
for pid in ${left[@]+"${left[@]}"}; do
    [ -d "/proc/$pid" ] && alive+=("$pid")
done
if [ ${#alive[@]} -gt 0 ]; then
    echo "Left running by the tests:" >&2
    ps -o pid=,args= -p "$(IFS=,; echo "${alive[*]}")" >&2 || true
    exit 1
fi
