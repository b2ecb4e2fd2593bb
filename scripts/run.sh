#!/usr/bin/env bash
# Builds the program and runs it. Until the desktop program exists this runs the
# command-line tool with the arguments given (default: --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j"$(nproc)" --target trv810ctl >/dev/null
if [ $# -eq 0 ]; then set -- --help; fi
exec build/release/src/cli/trv810ctl "$@"
