#!/usr/bin/env bash
# Builds the whole project three ways and runs the whole test suite in each:
#   build/release  normal build (with the desktop program and the benchmarks), and
#                  the Debian package made from it, checked
#   build/asan     AddressSanitizer + UndefinedBehaviorSanitizer
#   build/tsan     ThreadSanitizer (everything but the Qt layer)
# Exits non-zero as soon as a build or a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}

suite() {
  local name=$1
  shift
  echo "== $name build"
  cmake -S . -B "build/$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "build/$name" -j"$jobs" 2>&1 | grep -E "error|warning|Error" || true
  cmake --build "build/$name" -j"$jobs" >/dev/null
  echo "== $name tests"
  (cd "build/$name" && ctest --output-on-failure -j"$jobs" --timeout 300)
}

suite release
echo "== Debian package"
deb=$(scripts/package-deb.sh)
tests/package/check_deb.sh "$deb"
suite asan -DTRV810_SANITIZE=address -DTRV810_BENCH=OFF
suite tsan -DTRV810_SANITIZE=thread -DTRV810_GUI=OFF -DTRV810_BENCH=OFF
echo "== all three builds passed"
