#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: all of them on the release build, and the
# core and widget tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh release
ctest --test-dir build/release --output-on-failure
tools/build.sh sanitize
ctest --test-dir build/sanitize --label-regex 'core|sanitized' --output-on-failure
