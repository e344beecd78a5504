#!/usr/bin/env bash
# Installs what is missing, builds, and runs the Orvanta widget. Without a display it prints,
# once, what the widget would show now; arguments then go to orvanta-state.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh release >&2
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/release/app/orvanta
fi
echo "No display: printing what the widget would show now." >&2
exec build/release/tools/state/orvanta-state --lines "$@"
