#!/usr/bin/env bash
# Cross-builds the core, trv810ctl and the tests for 64-bit Windows with MinGW-w64
# into build/windows (optimised, linked -static, so the programs need no DLL beyond
# Windows' own), and prints the paths of the .exe files it made.
#
#   scripts/build-windows.sh [--no-tests]
# The tests run under Wine: (cd build/windows && ctest), see README.
set -euo pipefail
cd "$(dirname "$0")/.."

tests=ON
[ "${1:-}" = "--no-tests" ] && tests=OFF
scripts/install-deps.sh

build=build/windows
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DTRV810_GUI=ON -DTRV810_BENCH=OFF -DTRV810_TESTS="$tests" "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" >/dev/null
find "$build" -name '*.exe' -newer "$build/CMakeCache.txt" -not -path '*/CMakeFiles/*' | sort
