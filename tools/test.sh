#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: all of them on the release build, the
# core and widget tests again under AddressSanitizer and UndefinedBehaviorSanitizer, and those
# whose code starts threads under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
# What the tests start (servers, panels, buses, the program) and must have ended when they end.
started_by_tests='Xvfb|openbox|trayer|xfce4-panel|sway|waybar|dbus-daemon|at-spi|orvanta|notification_server|sni_client'
before=$(pgrep -d, -f "$started_by_tests" || true)
tools/build.sh release
ctest --test-dir build/release --output-on-failure
tools/build.sh sanitize
ctest --test-dir build/sanitize --label-regex 'core|sanitized' --output-on-failure
tools/build.sh thread
# The approaches' pieces on threads of their own and the number text they format.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build/thread/tests/state_tool_tests
TSAN_OPTIONS="halt_on_error=1" build/thread/tests/display_core_tests --gtest_filter='FormatThousands.*'
left=()
for pid in $(pgrep -f "$started_by_tests" || true); do
    [[ ",$before," == *",$pid,"* ]] || left+=("$pid")
done
if [ ${#left[@]} -gt 0 ]; then
    echo "Left running by the tests:" >&2
    ps -o pid=,args= -p "$(IFS=,; echo "${left[*]}")" >&2
    exit 1
fi
