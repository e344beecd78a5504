#!/usr/bin/env bash
# Installs what building and running need (what the tests need, tools/test.sh installs), builds,
# and runs the Orvanta widget. Without a display it prints what the widget shows now and draws its
# window into a PNG file; arguments then go to orvanta-state.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh program >&2
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/release/app/orvanta
fi
echo "No display: what the widget shows now." >&2
build/release/tools/state/orvanta-state --lines "$@"
picture=$PWD/build/orvanta-now.png
build/release/tools/snapshot/orvanta-snapshot --utc "$(date -u +%Y-%m-%dT%H:%M:%S)" --out "$picture"
echo "The window as it looks now: $picture" >&2
