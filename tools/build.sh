#!/usr/bin/env bash
# Configures and builds one build tree: tools/build.sh release|program|sanitize|thread
# (program: the release tree without the tests and benchmarks, where none was configured yet, for
# tools/run.sh; release configures them back in).
# Warnings are errors in CI (CI=true) only, so that a newer compiler never stops a user's build.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=()
[ "${CI:-}" != true ] || werror=(-DORVANTA_WERROR=ON)

case "${1:-release}" in
release)
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
        -DORVANTA_BENCH=ON ${werror[@]+"${werror[@]}"} >/dev/null
    cmake --build build/release
    ;;
program)
    if [ ! -f build/release/CMakeCache.txt ]; then
        cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
            -DORVANTA_BENCH=OFF ${werror[@]+"${werror[@]}"} >/dev/null
    fi
    cmake --build build/release
    ;;
sanitize)
    # Debug with AddressSanitizer and UndefinedBehaviorSanitizer, for the core tests and the
    # widgets' tests on Qt's offscreen platform.
    cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANTA_SANITIZE=ON \
        -DORVANTA_BENCH=OFF ${werror[@]+"${werror[@]}"} >/dev/null
    cmake --build build/sanitize
    ;;
thread)
    # ThreadSanitizer, for the core whose code runs on threads: the approaches' pieces of
    # orvanta-state, which the Approaches window's worker runs too, and the number text they
    # share. Without Qt, whose own libraries are not built with it and would be reported.
    cmake -S . -B build/thread -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANTA_THREAD_SANITIZE=ON \
        -DORVANTA_GUI=OFF -DORVANTA_BENCH=OFF ${werror[@]+"${werror[@]}"} >/dev/null
    cmake --build build/thread --target state_tool_tests display_core_tests
    ;;
*)
    echo "usage: tools/build.sh release|program|sanitize|thread" >&2
    exit 2
    ;;
esac
