#!/usr/bin/env bash
# Cross-builds the core, trv810ctl, the desktop program trv810 (its Win32 face) and the
# tests for 64-bit Windows with MinGW-w64 into build/windows (optimised, linked -static,
# so the programs need no DLL beyond Windows' own), prints the paths of the .exe files
# it made, and packs build/windows/trv810-<version>-win64.zip: trv810.exe,
# trv810ctl.exe and LIESMICH.txt (ports and first steps) in a folder trv810-<version>.
# The build also makes the installer build/windows/trv810-<version>-win64.msi with
# wixl (packaging/windows/trv810.wxs), whose path it prints last.
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

version=$(sed -n 's/^project(trv810 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
staging=$build/zip
folder=trv810-$version
zip=$build/trv810-$version-win64.zip
rm -rf "$staging" "$zip"
mkdir -p "$staging/$folder"
cp "$build/src/ui/win32/trv810.exe" "$build/src/cli/trv810ctl.exe" packaging/windows/LIESMICH.txt "$staging/$folder/"
(cd "$staging" && zip -q -X -r "../${zip##*/}" "$folder")
rm -rf "$staging"
echo "$zip"
echo "$build/trv810-$version-win64.msi"
