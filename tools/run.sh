#!/usr/bin/env bash
# Installs what is missing, builds, and runs Orvanta. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh release >&2
exec build/release/tools/state/orvanta-state "$@"
