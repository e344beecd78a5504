#!/usr/bin/env bash
# Configures and builds one build tree: tools/build.sh release|sanitize
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-release}" in
release)
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTA_WERROR=ON >/dev/null
    cmake --build build/release
    ;;
sanitize)
    # Debug with AddressSanitizer and UndefinedBehaviorSanitizer, for the core tests and the
    # widgets' tests on Qt's offscreen platform.
    cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANTA_SANITIZE=ON \
        -DORVANTA_BENCH=OFF -DORVANTA_WERROR=ON >/dev/null
    cmake --build build/sanitize
    ;;
*)
    echo "usage: tools/build.sh release|sanitize" >&2
    exit 2
    ;;
esac
