#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy on every tracked source file that the release
# build compiles (tools/build.sh release writes its compile commands), and fails on any finding.
#   tools/tidy.sh [FILE...]   only the files given
set -euo pipefail
cd "$(dirname "$0")/.."
commands=build/release/compile_commands.json
if [ ! -f "$commands" ]; then
    echo "tools/tidy.sh: $commands is missing: run tools/build.sh release first" >&2
    exit 2
fi
if [ $# -gt 0 ]; then
    files=("$@")
else
    # The build's own generated files are not ours to mend, nor the parts it does not compile.
    mapfile -t files < <(python3 - "$commands" <<'PY'
import json, os, subprocess, sys
built = {os.path.realpath(e["file"]) for e in json.load(open(sys.argv[1]))}
tracked = subprocess.run(["git", "ls-files", "*.cpp"], capture_output=True, text=True,
                         check=True).stdout.split()
print("\n".join(f for f in tracked if os.path.realpath(f) in built))
PY
    )
fi
echo "clang-tidy on ${#files[@]} files"
# GCC's own warning options mean nothing to clang; everything else it says counts.
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p build/release --quiet \
        --extra-arg=-Wno-unknown-warning-option 2> >(grep -v '^[0-9]* warnings\? generated\.$' >&2)
echo "clang-tidy: no findings"
