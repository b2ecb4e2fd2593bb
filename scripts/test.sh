#!/usr/bin/env bash
# Builds the whole project four ways and runs the whole test suite in each:
#   build/release  normal build (with the desktop program and the benchmarks), and
#                  the Debian package made from it, checked
#   build/asan     AddressSanitizer + UndefinedBehaviorSanitizer
#   build/tsan     ThreadSanitizer (everything but the Qt layer)
#   build/windows  the Windows cross build (scripts/build-windows.sh) with the Win32
#                  desktop program, its tests under Wine (the windows on Xvfb); those
#                  that need a unit talk to build/release's simulator
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
  build_and_test "$name"
}

build_and_test() {
  local name=$1
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

# The Wine prefix is made afresh once per run, before the tests start in parallel;
# every test program of the run then shares it.
echo "== windows build"
start=$SECONDS
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DTRV810_GUI=ON -DTRV810_BENCH=OFF "${launcher[@]}" >/dev/null
rm -rf build/windows/wine-prefix build/windows/wine-prefix-installer
WINEPREFIX=$PWD/build/windows/wine-prefix cmake/wine-run.sh cmd /c exit >/dev/null
build_and_test windows
echo "== windows suite took $((SECONDS - start)) s"
echo "== all four builds passed"
